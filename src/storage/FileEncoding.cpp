#include "storage/FileEncoding.h"

#include <algorithm>
#include <string_view>

#include "storage/Cp932.h"
#include "storage/Iconv.h"
#include "storage/StrUtils.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// How much of a text beyond ASCII is ordinary Japanese.
struct TJapaneseShare {
    size_t Japanese = 0;
    size_t Other = 0;

    // Nearly every character beyond ASCII is Japanese, and at least `least` of them.
    bool Clearly(size_t least) const {
        return Japanese >= least && Japanese * 10 >= (Japanese + Other) * 9;
    }
};

// The CP932 codes ordinary Japanese text is made of: punctuation and common symbols, numbered
// and unit signs, full-width letters and digits, hiragana, katakana and the first level of
// kanji. The second level of kanji and the half-width katakana are rare in such text, and they
// are what CP932 makes of the bytes of UTF-8, so they are no sign of Japanese here.
bool IsCommonCp932(unsigned code) {
    return (code >= 0x8140 && code <= 0x81AC) || (code >= 0x824F && code <= 0x829A) ||
           (code >= 0x829F && code <= 0x82F1) || (code >= 0x8340 && code <= 0x8396) ||
           (code >= 0x8740 && code <= 0x879C) || (code >= 0x889F && code <= 0x9872);
}

TJapaneseShare Cp932Share(std::string_view bytes) {
    TJapaneseShare share;
    for (size_t at = 0; at < bytes.size(); at += CharLength(bytes, at)) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            continue;
        }
        const bool pair = CharLength(bytes, at) == 2;
        const unsigned code = pair ? lead << 8 | static_cast<unsigned char>(bytes[at + 1]) : 0;
        (pair && IsCommonCp932(code) ? share.Japanese : share.Other) += 1;
    }
    return share;
}

// Pictographs and other characters of the planes beyond the first: what a CP932 text could make
// of them is no text anyone writes, so they count for neither side.
bool IsNeutral(char32_t c) {
    return c >= 0x10000;
}

bool IsJapaneseCharacter(char32_t c) {
    if (c >= 0xFF61 && c <= 0xFF9F) {
        return true;  // half-width katakana: in UTF-8 these are three bytes no CP932 text makes
    }
    std::string cp932;
    if (!EncodeCp932Char(c, cp932) || cp932.size() != 2) {
        return false;
    }
    return IsCommonCp932(static_cast<unsigned char>(cp932[0]) << 8 |
                         static_cast<unsigned char>(cp932[1]));
}

// The share of text, already known to be valid UTF-8.
TJapaneseShare Utf8Share(std::string_view text) {
    TJapaneseShare share;
    for (size_t at = 0; at < text.size();) {
        size_t length = 0;
        const char32_t c = DecodeUtf8(text.substr(at), length);
        at += length;
        if (c >= 0x80 && !IsNeutral(c)) {
            (IsJapaneseCharacter(c) ? share.Japanese : share.Other) += 1;
        }
    }
    return share;
}

bool IsUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        size_t length = 0;
        DecodeUtf8(text.substr(at), length);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

bool IsCp932(std::string_view bytes) {
    thread_local TIconv toUtf8("UTF-8", "CP932");
    std::string ignored;
    return toUtf8.Convert(bytes, ignored) == bytes.size();
}

}  // namespace

bool ConvertUtf8File(std::string& bytes) {
    std::string_view text = bytes;
    const bool marked = text.starts_with(kByteOrderMark);
    if (marked) {
        text.remove_prefix(kByteOrderMark.size());
    }
    if (!IsUtf8(text)) {
        return false;
    }
    if (!marked) {
        if (std::all_of(text.begin(), text.end(),
                        [](char byte) { return static_cast<unsigned char>(byte) < 0x80; })) {
            return false;  // ASCII reads the same either way
        }
        // One Japanese character decides a file that is no CP932; a file that could be either
        // needs two, since one character of a CP932 text may read as UTF-8 by chance.
        const bool cp932 = IsCp932(text);
        if (!Utf8Share(text).Clearly(cp932 ? 2 : 1) || (cp932 && Cp932Share(text).Clearly(1))) {
            return false;
        }
    }
    bytes = Utf8ToCp932(text);
    return true;
}
