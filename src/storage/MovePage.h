#pragma once

#include <cstdint>
#include <string>

class TScrapList;

// What moving a page gave: whether it moved, and if not, why (CP932; empty when the store has
// reported the failure itself).
struct TMoveResult {
    bool Moved = false;
    std::string Message;
};

// Moves the page of day from, which must be the store's year, to day to in any year, replacing
// a page there. Both year files are written through the safe write; when either write fails,
// both days and both files are left as they were. A target year file that does not read whole
// is not written, since its unread lines would be lost.
TMoveResult MovePage(TScrapList& store, int32_t from, int32_t to);
