#pragma once

#include "richtext/RtfContent.h"
#include "richtext/RtfWords.h"

#include <vector>

// Gathers the tables of a body as the reader meets them: the row definitions (\trowd, \cellx
// and their borders) and the cells that paragraphs end in. A table runs as long as its
// paragraphs are in a table; the first paragraph outside ends it.
class RtfTableReader {
public:
    // A word of a row definition; false for any other word.
    bool DefinitionWord(RtfWord word, int param);

    // Where a paragraph ended by \par stands: in the current cell when it is in a table;
    // otherwise outside, and any open table ends.
    RtfCellRef EndParagraph(bool inTable);

    // Where the paragraph ended by \cell stands; the next cell begins after it.
    RtfCellRef EndCell();

    // \row: the row ends with the definition in effect.
    void EndRow();

    // Ends any open table and hands over the tables.
    std::vector<RtfTable> Finish();

private:
    enum class BorderTarget { None, Cell, Row };

    RtfCellRef Current();
    void CloseTable();

    std::vector<RtfTable> tables_;
    int table_ = -1;  // the open table, -1 for none
    int row_ = 0;
    int column_ = 0;
    int rowCells_ = 0;    // cells the current row has held
    int tableCells_ = 0;  // cells of the open table's finished rows
    RtfRowDef definition_;
    BorderTarget target_ = BorderTarget::None;
    bool cellBorder_ = false;
    bool rowBorder_ = false;
    int borderWidth_ = 0;
    RtfMerge merge_ = RtfMerge::None;
};
