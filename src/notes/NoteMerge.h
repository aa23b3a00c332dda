#pragma once

#include <optional>
#include <string>
#include <vector>

#include "notes/NoteRec.h"
#include "storage/ThreeWayMerge.h"

// The three-way merge of a note file's notes (see ThreeWayMerge). A note file gives its notes no
// identity of their own, so a note is known by its title, the one thing the user names it by;
// where either version holds several notes of one title, each of those is known by its whole
// line (and its place among equal lines), so that any change of it reads as the note deleted
// and a new one added: both are then kept rather than one picked.

// A note changed differently on both sides. Both versions are kept here until the user chooses.
struct TNoteConflict {
    std::optional<TNoteRec> Ours;    // nullopt: our side deleted the note
    std::optional<TNoteRec> Theirs;  // nullopt: their side deleted the note
};

struct TNoteMerge {
    // Ours in their order, then the notes only their side has, in theirs' order; for a conflict
    // the side that still has the note, ours when both do.
    std::vector<TNoteRec> Notes;
    std::vector<TNoteConflict> Conflicts;
    int TakenFromTheirs = 0;  // notes where the merged list differs from ours
};

// The base of a list's notes, to be saved as the note file is read or written.
TMergeBase NoteMergeBase(const std::vector<TNoteRec>& notes);

TNoteMerge MergeNotes(const TMergeBase& base, const std::vector<TNoteRec>& ours,
                      const std::vector<TNoteRec>& theirs);
