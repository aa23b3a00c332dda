#pragma once

#include "richtext/RtfContent.h"
#include "richtext/RtfWords.h"

#include <map>
#include <vector>

// The numbering of list paragraphs: the \pn group of one paragraph, and the list and override
// tables that \ls paragraphs name.

// A word of a paragraph's \pn group.
void PnWord(RtfWord word, int param, RtfListProps& list);

class RtfListTables {
public:
    // A word of the list table; current is the list entry being read, -1 for none.
    void ListTableWord(RtfWord word, int param, int& current);

    // A word of the list override table; listId is the list the current override names.
    void OverrideWord(RtfWord word, int param, int& listId);

    // The style of an \ls paragraph. A list whose tables are missing is still shown as a list,
    // with bullets.
    RtfListStyle Style(const RtfListProps& props) const;

private:
    struct ListDefinition {
        int id = 0;
        std::vector<RtfListStyle> levels;
    };

    std::vector<ListDefinition> lists_;
    std::map<int, int> overrides_;  // \ls number to list id
};
