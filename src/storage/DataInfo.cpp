#include "storage/DataInfo.h"

#include "storage/StrUtils.h"

namespace {

constexpr int kCellBudget = 24;

}  // namespace

const TDataInfo EmptyDataInfo = [] {
    TDataInfo rec;
    rec.Weather = -1;
    return rec;
}();

std::string FieldText(char letter, const TDataInfo& rec) {
    switch (letter) {
        case 'C':
            return TruncateText(rec.Text.Text(), kCellBudget);
        case 'M':
            return TruncateText(rec.Private, kCellBudget);
        case 'N':
            return TruncateText(rec.News, kCellBudget);
        case 'P':
            return TruncateText(rec.Title, kCellBudget);
        case 'R':
            return std::string(TrimText(rec.Extra));
        case 'W':
            return std::to_string(rec.Weather);
        default:
            return {};
    }
}

bool HoldsWriting(const TDataInfo& rec) {
    return !TrimText(rec.Title).empty() || !TrimText(rec.Text.Text()).empty() ||
           !TrimText(rec.Private).empty() || !TrimText(rec.News).empty() ||
           (rec.Text.Empty() && !rec.RichText.Empty());
}

bool HoldsPage(const TDataInfo& rec) {
    return HoldsWriting(rec) || (rec.Weather >= 0 && rec.Weather < WeatherUnknown);
}

int EventMask(const TDataInfo& rec) {
    if (rec.Date == 0) {
        return 0;
    }
    const bool body = !rec.Text.Empty() || !rec.RichText.Empty();
    return (body ? 1 : 0) | (rec.News.empty() ? 0 : 2) | (rec.Title.empty() ? 0 : 4) |
           (rec.Private.empty() ? 0 : 8) | (rec.Weather >= 0 ? 16 : 0) |
           (rec.Extra.empty() ? 0 : 32);
}
