#include "notes/NoteMerge.h"

#include <map>
#include <set>

#include "notes/NoteList.h"

namespace {

// The titles that more than one note of notes holds.
std::set<std::string> RepeatedTitles(const std::vector<TNoteRec>& notes) {
    std::set<std::string> seen;
    std::set<std::string> repeated;
    for (const TNoteRec& note : notes) {
        if (!seen.insert(note.Title).second)
            repeated.insert(note.Title);
    }
    return repeated;
}

// Keys are "T" and the title, or, for a repeated title, "L", the line, a space and its place
// among equal lines.
std::vector<TMergeItem> ItemsOf(const std::vector<TNoteRec>& notes,
                                const std::set<std::string>& repeated) {
    std::map<std::string, int> lines;
    std::vector<TMergeItem> items;
    items.reserve(notes.size());
    for (const TNoteRec& note : notes) {
        std::string line = NoteLine(note);
        std::string key = "T" + note.Title;
        if (repeated.contains(note.Title))
            key = "L" + line + " " + std::to_string(lines[line]++);
        items.push_back({std::move(key), std::move(line)});
    }
    return items;
}

}  // namespace

TMergeBase NoteMergeBase(const std::vector<TNoteRec>& notes) {
    return MergeBaseOf(ItemsOf(notes, RepeatedTitles(notes)));
}

TNoteMerge MergeNotes(const TMergeBase& base, const std::vector<TNoteRec>& ours,
                      const std::vector<TNoteRec>& theirs) {
    // A title repeated on either side is known by lines on both, so that the two sides name
    // their notes alike.
    std::set<std::string> repeated = RepeatedTitles(ours);
    repeated.merge(RepeatedTitles(theirs));
    const std::vector<TMergeItem> ourItems = ItemsOf(ours, repeated);
    const std::vector<TMergeItem> theirItems = ItemsOf(theirs, repeated);
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
