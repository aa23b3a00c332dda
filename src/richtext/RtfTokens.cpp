#include "richtext/RtfTokens.h"

#include "storage/StrUtils.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool RtfTokens::Next(RtfToken& token) {
    if (pos_ >= in_.size()) {
        return false;
    }
    token = RtfToken{};
    const char c = in_[pos_++];
    if (c == '{') {
        token.kind = RtfToken::Open;
    } else if (c == '}') {
        token.kind = RtfToken::Close;
    } else if (c != '\\') {
        token.kind = RtfToken::Text;
        token.text = c;
    } else if (pos_ < in_.size() && IsLetter(in_[pos_])) {
        ReadWord(token);
    } else if (pos_ < in_.size() && in_[pos_] == '\'') {
        ++pos_;
        ReadHex(token);
    } else {
        token.kind = RtfToken::Symbol;
        if (pos_ < in_.size()) {
            token.symbol = in_[pos_++];
        }
    }
    return true;
}

void RtfTokens::Seek(size_t position) {
    pos_ = std::min(position, in_.size());
}

void RtfTokens::ReadWord(RtfToken& token) {
    token.kind = RtfToken::Word;
    const size_t start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) {
        ++pos_;
    }
    token.name = in_.substr(start, pos_ - start);
    bool negative = false;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    int64_t value = 0;
    while (pos_ < in_.size() && IsDigit(in_[pos_])) {
        token.hasParam = true;
        value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), INT64_C(1) << 40);
        ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') {
        ++pos_;
    }
    token.param =
        static_cast<int>(std::clamp<int64_t>(negative ? -value : value, INT_MIN, INT_MAX));
    if (token.name == "bin") {
        const size_t length =
            std::min<size_t>(static_cast<size_t>(std::max(token.param, 0)), in_.size() - pos_);
        token.data = in_.substr(pos_, length);
        pos_ += length;
    }
}

void RtfTokens::ReadHex(RtfToken& token) {
    token.kind = RtfToken::Hex;
    if (pos_ < in_.size() && HexDigitValue(in_[pos_]) >= 0) {
        token.hex = HexDigitValue(in_[pos_++]);
        if (pos_ < in_.size() && HexDigitValue(in_[pos_]) >= 0) {
            token.hex = token.hex * 16 + HexDigitValue(in_[pos_++]);
        }
    }
}
