#include "richtext/RtfLists.h"

#include <algorithm>

namespace {

constexpr int kMaxLists = 4096;
constexpr int kMaxListLevels = 9;

// The list style of a \levelnfc number.
RtfListStyle StyleOfNumbering(int nfc) {
    switch (nfc) {
        case 0:
            return RtfListStyle::Decimal;
        case 1:
            return RtfListStyle::UpperRoman;
        case 2:
            return RtfListStyle::LowerRoman;
        case 3:
            return RtfListStyle::UpperAlpha;
        case 4:
            return RtfListStyle::LowerAlpha;
        case 255:
            return RtfListStyle::None;
        default:
            return RtfListStyle::Bullet;
    }
}

}  // namespace

void PnWord(RtfWord word, int param, RtfListProps& list) {
    switch (word) {
        case RtfWord::PnBullet:
            list.style = RtfListStyle::Bullet;
            break;
        case RtfWord::PnLevel:
            list.level = std::clamp(param, 1, kMaxListLevels);
            break;
        case RtfWord::PnDecimal:
            list.style = RtfListStyle::Decimal;
            break;
        case RtfWord::PnLowerAlpha:
            list.style = RtfListStyle::LowerAlpha;
            break;
        case RtfWord::PnUpperAlpha:
            list.style = RtfListStyle::UpperAlpha;
            break;
        case RtfWord::PnLowerRoman:
            list.style = RtfListStyle::LowerRoman;
            break;
        case RtfWord::PnUpperRoman:
            list.style = RtfListStyle::UpperRoman;
            break;
        default:
            break;
    }
}

void RtfListTables::ListTableWord(RtfWord word, int param, int& current) {
    ListDefinition* list =
        current >= 0 && current < static_cast<int>(lists_.size()) ? &lists_[current] : nullptr;
    switch (word) {
        case RtfWord::List:
            if (static_cast<int>(lists_.size()) < kMaxLists) {
                lists_.emplace_back();
                current = static_cast<int>(lists_.size()) - 1;
            } else {
                current = -1;
            }
            break;
        case RtfWord::ListLevel:
            if (list != nullptr && static_cast<int>(list->levels.size()) < kMaxListLevels) {
                list->levels.push_back(RtfListStyle::Decimal);
            }
            break;
        case RtfWord::LevelNumbering:
            if (list != nullptr && !list->levels.empty()) {
                list->levels.back() = StyleOfNumbering(param);
            }
            break;
        case RtfWord::ListId:
            if (list != nullptr) {
                list->id = param;
            }
            break;
        default:
            break;
    }
}

void RtfListTables::OverrideWord(RtfWord word, int param, int& listId) {
    switch (word) {
        case RtfWord::ListOverride:
            listId = 0;
            break;
        case RtfWord::ListId:
            listId = param;
            break;
        case RtfWord::ListSelect:
            if (overrides_.count(param) > 0 || static_cast<int>(overrides_.size()) < kMaxLists) {
                overrides_[param] = listId;
            }
            break;
        default:
            break;
    }
}

RtfListStyle RtfListTables::Style(const RtfListProps& props) const {
    const auto override = overrides_.find(props.overrideIndex);
    if (override == overrides_.end()) {
        return RtfListStyle::Bullet;
    }
    for (const ListDefinition& list : lists_) {
        if (list.id == override->second) {
            return props.level <= static_cast<int>(list.levels.size())
                       ? list.levels[props.level - 1]
                       : RtfListStyle::Bullet;
        }
    }
    return RtfListStyle::Bullet;
}
