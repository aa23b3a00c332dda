#include "notes/NoteMerge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TNoteRec Note(const std::string& title, uint8_t kind = NoteOpen, int32_t endDate = 0) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = 12;
    note.DayRule = 8;
    note.StartYear = 2026;
    note.Title = title;
    note.EndDate = endDate;
    return note;
}

using Notes = std::vector<TNoteRec>;

// "title" for an open note, "title+" for one ticked done: the merged list at a glance.
std::string Shown(const Notes& notes) {
    std::string text;
    for (const TNoteRec& note : notes)
        text += note.Title + (note.Kind == NoteDone ? "+" : "") + " ";
    return text;
}

std::string Shown(const std::optional<TNoteRec>& note) {
    return note ? Shown(Notes{*note}) : std::string("(none) ");
}

}  // namespace

// Notes are known by their title; the same rules as for days, with the changes a user makes to
// reminders: adding, ticking done, deleting.
TEST(MergeNotes, ByTitle) {
    const TNoteRec open = Note("歯医者");
    const TNoteRec done = Note("歯医者", NoteDone, 46364);
    const TNoteRec doneLater = Note("歯医者", NoteDone, 46365);
    const struct {
        const char* why;
        Notes base, ours, theirs;
        const char* merged;
        const char* conflicts;  // "ours/theirs " per conflict
        int takenFromTheirs;
    } cases[] = {
        {"unchanged", {open}, {open}, {open}, "歯医者 ", "", 0},
        {"ticked here", {open}, {done}, {open}, "歯医者+ ", "", 0},
        {"ticked there", {open}, {open}, {done}, "歯医者+ ", "", 1},
        {"ticked on both the same day", {open}, {done}, {done}, "歯医者+ ", "", 0},
        {"ticked on both on different days",
         {open},
         {done},
         {doneLater},
         "歯医者+ ",
         "歯医者+/歯医者+ ",
         0},
        {"added here and there", {}, {Note("a")}, {Note("b")}, "a b ", "", 1},
        {"deleted there", {open, Note("b")}, {open, Note("b")}, {Note("b")}, "b ", "", 1},
        {"deleted here, ticked there", {open}, {}, {done}, "歯医者+ ", "(none)/歯医者+ ", 1},
        {"renamed there: the old one goes, the new one comes",
         {open},
         {open},
         {Note("歯科")},
         "歯科 ",
         "",
         2},
        {"renamed there, ticked here: both are kept",
         {open},
         {done},
         {Note("歯科")},
         "歯医者+ 歯科 ",
         "歯医者+/(none) ",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const TNoteMerge merge = MergeNotes(NoteMergeBase(c.base), c.ours, c.theirs);
        EXPECT_EQ(Shown(merge.Notes), c.merged);
        std::string conflicts;
        for (const TNoteConflict& conflict : merge.Conflicts)
            conflicts += Shown(conflict.Ours).substr(0, Shown(conflict.Ours).size() - 1) + "/" +
                         Shown(conflict.Theirs);
        EXPECT_EQ(conflicts, c.conflicts);
        EXPECT_EQ(merge.TakenFromTheirs, c.takenFromTheirs);
    }
}

// Several notes of one title ("買い物" every week) are told apart by their whole line: a change
// to one of them keeps every version rather than mixing them up.
TEST(MergeNotes, RepeatedTitles) {
    TNoteRec monday = Note("買い物");
    monday.DayRule = MakeWeekRule(1 << 1, 0);
    TNoteRec friday = Note("買い物");
    friday.DayRule = MakeWeekRule(1 << 5, 0);
    TNoteRec fridayDone = friday;
    fridayDone.Kind = NoteDone;
    const Notes base{monday, friday};

    // One deleted there, the other ticked here: the tick stays, the deletion is taken.
    TNoteMerge merge = MergeNotes(NoteMergeBase(base), {monday, fridayDone}, {friday});
    EXPECT_EQ(Shown(merge.Notes), "買い物+ ");
    EXPECT_TRUE(merge.Conflicts.empty());

    // Both ticked the same one: one note, not two.
    merge = MergeNotes(NoteMergeBase(base), {monday, fridayDone}, {monday, fridayDone});
    EXPECT_EQ(Shown(merge.Notes), "買い物 買い物+ ");

    // Two equal notes, one deleted there: one stays.
    merge = MergeNotes(NoteMergeBase({monday, monday}), {monday, monday}, {monday});
    EXPECT_EQ(merge.Notes.size(), 1u);

    // A note added there that repeats a title of ours: both stay.
    merge = MergeNotes(NoteMergeBase({monday}), {monday}, {monday, friday});
    EXPECT_EQ(merge.Notes.size(), 2u);
    EXPECT_TRUE(merge.Conflicts.empty());
}
