#include "notes/NoteMerge.h"

#include <map>

#include "notes/NoteList.h"

namespace {

// Keys are "T" and the title, or "L", the line, a space and its place among equal lines.

std::vector<TMergeItem> ItemsOf(const std::vector<TNoteRec>& notes) {
    std::map<std::string, int> titles;
    for (const TNoteRec& note : notes)
        ++titles[note.Title];
    std::map<std::string, int> lines;
    std::vector<TMergeItem> items;
    items.reserve(notes.size());
    for (const TNoteRec& note : notes) {
        std::string line = NoteLine(note);
        std::string key = "T" + note.Title;
        if (titles[note.Title] > 1)
            key = "L" + line + " " + std::to_string(lines[line]++);
        items.push_back({std::move(key), std::move(line)});
    }
    return items;
}

}  // namespace

TMergeBase NoteMergeBase(const std::vector<TNoteRec>& notes) {
    return MergeBaseOf(ItemsOf(notes));
}

TNoteMerge MergeNotes(const TMergeBase& base, const std::vector<TNoteRec>& ours,
                      const std::vector<TNoteRec>& theirs) {
    const std::vector<TMergeItem> ourItems = ItemsOf(ours);
    const std::vector<TMergeItem> theirItems = ItemsOf(theirs);
    const auto noteOf = [&](const TMergeItem* item) -> const TNoteRec* {
        if (!item)
            return nullptr;
        if (item >= ourItems.data() && item < ourItems.data() + ourItems.size())
            return &ours[static_cast<size_t>(item - ourItems.data())];
        return &theirs[static_cast<size_t>(item - theirItems.data())];
    };
    const auto copy = [](const TNoteRec* note) {
        return note ? std::optional<TNoteRec>(*note) : std::nullopt;
    };
    TNoteMerge merge;
    for (const TMergedKey& key : MergeKeys(base, ourItems, theirItems)) {
        if (const TNoteRec* kept = noteOf(key.Kept()))
            merge.Notes.push_back(*kept);
        if (key.Rule == TMergeRule::Conflict)
            merge.Conflicts.push_back({copy(noteOf(key.Ours)), copy(noteOf(key.Theirs))});
        merge.TakenFromTheirs += key.Kept() != key.Ours;
    }
    return merge;
}
