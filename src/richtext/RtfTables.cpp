#include "richtext/RtfTables.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kMaxTwips = 31680;
constexpr int kMaxTableCells = 4096;  // a longer table goes on as a new one
constexpr int kMaxTables = 4096;
constexpr int kMaxBorderTwips = 255;

}  // namespace

bool RtfTableReader::DefinitionWord(RtfWord word, int param) {
    switch (word) {
        case RtfWord::RowDefaults:
            definition_ = RtfRowDef{};
            target_ = BorderTarget::None;
            cellBorder_ = rowBorder_ = false;
            borderWidth_ = 0;
            merge_ = RtfMerge::None;
            return true;
        case RtfWord::RowGap:
            definition_.gap = std::clamp(param, 0, kMaxTwips);
            return true;
        case RtfWord::RowLeft:
            definition_.left = std::clamp(param, -kMaxTwips, kMaxTwips);
            return true;
        case RtfWord::CellBorder:
            target_ = BorderTarget::Cell;
            return true;
        case RtfWord::RowBorder:
            target_ = BorderTarget::Row;
            return true;
        case RtfWord::BorderStyle:
        case RtfWord::BorderNone: {
            const bool on = word == RtfWord::BorderStyle;
            if (target_ == BorderTarget::Cell) {
                cellBorder_ = cellBorder_ || on;
            } else if (target_ == BorderTarget::Row) {
                rowBorder_ = rowBorder_ || on;
            }
            return true;
        }
        case RtfWord::BorderWidth:
            if (target_ != BorderTarget::None) {
                borderWidth_ = std::max(borderWidth_, std::clamp(param, 0, kMaxBorderTwips));
            }
            return true;
        case RtfWord::MergeFirst:
            merge_ = RtfMerge::First;
            return true;
        case RtfWord::MergeContinue:
            merge_ = RtfMerge::Continue;
            return true;
        case RtfWord::CellRight:
            if (static_cast<int>(definition_.cells.size()) < kRtfMaxColumns) {
                const bool border = cellBorder_ || rowBorder_;
                definition_.cells.push_back(
                    RtfCellDef{std::clamp(param, -kMaxTwips, kRtfMaxCellTwips), border,
                               border ? borderWidth_ : 0, merge_});
            }
            target_ = BorderTarget::None;
            cellBorder_ = false;
            merge_ = RtfMerge::None;
            return true;
        default:
            return false;
    }
}

RtfCellRef RtfTableReader::Current() {
    if (table_ < 0) {
        if (static_cast<int>(tables_.size()) >= kMaxTables) {
            return RtfCellRef{};
        }
        tables_.emplace_back();
        table_ = static_cast<int>(tables_.size()) - 1;
        row_ = column_ = rowCells_ = tableCells_ = 0;
    }
    rowCells_ = std::max(rowCells_, column_ + 1);
    return RtfCellRef{table_, row_, column_};
}

RtfCellRef RtfTableReader::EndParagraph(bool inTable) {
    if (!inTable) {
        CloseTable();
        return RtfCellRef{};
    }
    return Current();
}

RtfCellRef RtfTableReader::EndCell() {
    const RtfCellRef cell = Current();
    column_ = std::min(column_ + 1, kRtfMaxColumns - 1);
    return cell;
}

void RtfTableReader::EndRow() {
    if (table_ < 0) {
        return;
    }
    tables_[table_].rows.push_back(definition_);
    tableCells_ += std::max(rowCells_, static_cast<int>(definition_.cells.size()));
    ++row_;
    column_ = rowCells_ = 0;
    if (tableCells_ >= kMaxTableCells) {
        table_ = -1;
    }
}

// A row left without its \row still counts, with the definition in effect.
void RtfTableReader::CloseTable() {
    if (table_ >= 0 && rowCells_ > 0) {
        tables_[table_].rows.push_back(definition_);
    }
    table_ = -1;
}

std::vector<RtfTable> RtfTableReader::Finish() {
    CloseTable();
    return std::move(tables_);
}
