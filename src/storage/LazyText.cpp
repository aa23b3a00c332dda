#include "storage/LazyText.h"

#include "storage/CommaDB.h"
#include "storage/StrUtils.h"

namespace {

// A field longer than this never decodes to an empty text (only its quotes and a lone backslash
// at its end vanish, and a doubled quote leaves one). Shorter ones are decoded at once, so that
// Empty never has to decode.
constexpr size_t kShortField = 3;

}  // namespace

TLazyText TLazyText::FromField(std::string_view raw, std::shared_ptr<const std::string> source) {
    TLazyText text;
    text.source_ = std::move(source);
    text.field_ = raw;
    if (raw.size() <= kShortField) {
        text.text_ = DecodeRawField(raw);
    } else {
        text.decoded_ = false;
    }
    return text;
}

const std::string& TLazyText::Text() const {
    if (!decoded_) {
        text_ = DecodeRawField(field_);
        decoded_ = true;
    }
    return text_;
}

void TLazyText::AppendField(std::string& line) const {
    if (!field_.empty()) {
        line += field_;
    } else {
        line += EncodeField(text_);
    }
}

bool TLazyText::operator==(const TLazyText& other) const {
    if (!field_.empty() && field_ == other.field_) {
        return true;
    }
    return Text() == other.Text();
}
