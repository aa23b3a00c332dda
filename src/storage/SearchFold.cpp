#include "storage/SearchFold.h"

#include <array>
#include <memory>

#include "storage/Cp932.h"
#include "storage/StrUtils.h"

namespace {

// Half-width katakana U+FF61..U+FF9F as their full-width forms (the sound marks as combining).
constexpr std::array<char16_t, 63> kHalfWidthKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x3099, 0x309A};

struct TExpansion {
    char32_t From;
    std::u32string_view To;
};

// The compatibility characters of CP932 that NFKC spells out in several characters, already
// folded (katakana, lower case).
constexpr std::array<TExpansion, 42> kExpansions = {{
    {0x2116, U"no"},       {0x2121, U"tel"},    {0x3231, U"(株)"},       {0x3232, U"(有)"},
    {0x3239, U"(代)"},     {0x32A4, U"上"},     {0x32A5, U"中"},         {0x32A6, U"下"},
    {0x32A7, U"左"},       {0x32A8, U"右"},     {0x3303, U"アール"},     {0x330D, U"カロリー"},
    {0x3314, U"キロ"},     {0x3318, U"グラム"}, {0x3322, U"センチ"},     {0x3323, U"セント"},
    {0x3326, U"ドル"},     {0x3327, U"トン"},   {0x332B, U"パーセント"}, {0x3336, U"ヘクタール"},
    {0x333B, U"ページ"},   {0x3349, U"ミリ"},   {0x334A, U"ミリバール"}, {0x334D, U"メートル"},
    {0x3351, U"リットル"}, {0x3357, U"ワット"}, {0x337B, U"平成"},       {0x337C, U"昭和"},
    {0x337D, U"大正"},     {0x337E, U"明治"},   {0x338E, U"mg"},         {0x338F, U"kg"},
    {0x339C, U"mm"},       {0x339D, U"cm"},     {0x339E, U"km"},         {0x33A1, U"m2"},
    {0x33C4, U"cc"},       {0x33CD, U"kk"},     {0x2160, U"i"},          {0x2161, U"ii"},
    {0x2162, U"iii"},      {0x2163, U"iv"},
}};

constexpr std::array<std::u32string_view, 6> kRomanFromFive = {U"v",    U"vi", U"vii",
                                                               U"viii", U"ix", U"x"};

char32_t FoldCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

// The voiced (mark 0x3099) or semi-voiced (0x309A) form of katakana base, or 0.
char32_t Compose(char32_t base, char32_t mark) {
    const bool voicedPlusOne = (base >= 0x30AB && base <= 0x30C2 && base % 2 == 1) ||
                               base == 0x30C4 || base == 0x30C6 || base == 0x30C8;
    const bool hahiFuheho = base >= 0x30CF && base <= 0x30DB && (base - 0x30CF) % 3 == 0;
    if (mark == 0x3099) {
        if (voicedPlusOne || hahiFuheho) {
            return base + 1;
        }
        return base == 0x30A6 ? 0x30F4 : 0;
    }
    return hahiFuheho ? base + 2 : 0;
}

void Append(char32_t c, uint32_t at, std::u32string& out, std::vector<uint32_t>* source) {
    if ((c == 0x3099 || c == 0x309A) && !out.empty()) {
        if (const char32_t composed = Compose(out.back(), c)) {
            out.back() = composed;
            return;
        }
    }
    out.push_back(c);
    if (source) {
        source->push_back(at);
    }
}

void Fold(char32_t c, uint32_t at, std::u32string& out, std::vector<uint32_t>* source) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        c -= 0xFEE0;
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
        c = kHalfWidthKana[c - 0xFF61];
    } else if (c == 0x3000) {
        c = ' ';
    } else if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) {
        c += 0x60;
    } else if (c >= 0x2460 && c <= 0x2473) {
        for (const char digit : std::to_string(c - 0x2460 + 1)) {
            Append(static_cast<char32_t>(digit), at, out, source);
        }
        return;
    } else if ((c >= 0x2164 && c <= 0x2169) || (c >= 0x2174 && c <= 0x2179)) {
        for (const char32_t letter : kRomanFromFive[(c & 0xF) - 4]) {
            Append(letter, at, out, source);
        }
        return;
    } else if (c >= 0x2170 && c <= 0x2173) {
        c -= 0x10;
    }
    if ((c >= 0x2116 && c <= 0x2163) || (c >= 0x3231 && c <= 0x33CD)) {
        for (const TExpansion& e : kExpansions) {
            if (e.From == c) {
                for (const char32_t part : e.To) {
                    Append(part, at, out, source);
                }
                return;
            }
        }
    }
    Append(FoldCase(c), at, out, source);
}

// A CP932 double-byte character: its code point, and its folded form when that is one code
// point that joins no sound mark (0 otherwise: the general way is taken).
struct TDoubleByte {
    char32_t Code = 0;
    char32_t Folded = 0;
};

// Every CP932 double-byte character, indexed by its two bytes; a code of 0 for none.
const std::vector<TDoubleByte>& DoubleByteTable() {
    static const std::vector<TDoubleByte> table = [] {
        std::vector<TDoubleByte> t(0x10000);
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const std::string utf8 = Cp932ToUtf8(std::string_view(bytes, 2));
                size_t length = 0;
                const char32_t c = DecodeUtf8(utf8, length);
                if (length != utf8.size()) {
                    continue;
                }
                std::u32string folded;
                Fold(c, 0, folded, nullptr);
                TDoubleByte& entry = t[lead << 8 | trail];
                entry.Code = c;
                if (folded.size() == 1 && folded[0] != 0x3099 && folded[0] != 0x309A) {
                    entry.Folded = folded[0];
                }
            }
        }
        return t;
    }();
    return table;
}

}  // namespace

std::u32string FoldForSearch(std::string_view text, std::vector<uint32_t>* source) {
    const std::vector<TDoubleByte>& table = DoubleByteTable();
    std::u32string out;
    out.reserve(text.size());
    if (source) {
        source->clear();
        source->reserve(text.size() + 1);
    }
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto at = static_cast<uint32_t>(i);
        char32_t c = byte;
        size_t length = 1;
        if (CharLength(text, i) == 2) {
            const TDoubleByte& entry = table[byte << 8 | static_cast<unsigned char>(text[i + 1])];
            i += 2;
            // Most characters of a Japanese text fold to one code point of their own.
            if (entry.Folded != 0) {
                out.push_back(entry.Folded);
                if (source) {
                    source->push_back(at);
                }
                continue;
            }
            Fold(entry.Code != 0 ? entry.Code : 0xFFFD, at, out, source);
            continue;
        }
        if (byte >= 0xA1 && byte <= 0xDF) {
            c = 0xFF61 + (byte - 0xA1);
        } else if (byte == '&') {
            char32_t referenced = 0;
            if (const size_t n = ReferenceAt(text, i, referenced); n > 0) {
                c = referenced;
                length = n;
            }
        }
        Fold(c, at, out, source);
        i += length;
    }
    if (source) {
        source->push_back(static_cast<uint32_t>(text.size()));
    }
    return out;
}
