#include "notes/TitleOrder.h"

#include <array>

#include "storage/Cp932.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes UTF-8 as produced by the codec; a malformed sequence gives U+FFFD for its first byte.
std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 1;
        char32_t c = lead;
        if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
            c = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0x80) {
            length = 0;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        out.push_back(c);
        i += length;
    }
    return out;
}

// Full-width katakana for the half-width katakana U+FF66..U+FF9D, in code order.
constexpr std::array<char16_t, 0xFF9D - 0xFF66 + 1> kHalfWidthKana = {
    u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー', u'ア',
    u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス',
    u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ', u'ノ',
    u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ', u'ユ',
    u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン'};

constexpr char32_t kHalfVoiced = 0xFF9E;
constexpr char32_t kHalfSemiVoiced = 0xFF9F;

bool TakesVoicedMark(char32_t kana) {
    return kana == u'ウ' || (kana >= u'カ' && kana <= u'ト' && kana != u'ッ') ||
           (kana >= u'ハ' && kana <= u'ホ');
}

bool TakesSemiVoicedMark(char32_t kana) {
    return kana >= u'ハ' && kana <= u'ホ';
}

// The voiced form of a full-width katakana that takes the mark; in the katakana block the voiced
// form follows its plain form, except ウ whose voiced form is ヴ.
char32_t Voiced(char32_t kana) {
    return kana == u'ウ' ? u'ヴ' : kana + 1;
}

// Katakana of the half-width form at text[i], joining a following voiced or semi-voiced mark;
// i moves past what was taken.
char32_t WidenHalfKana(const std::u32string& text, size_t& i) {
    const char32_t kana = kHalfWidthKana[text[i] - 0xFF66];
    ++i;
    if (i < text.size() && text[i] == kHalfVoiced && TakesVoicedMark(kana)) {
        ++i;
        return Voiced(kana);
    }
    if (i < text.size() && text[i] == kHalfSemiVoiced && TakesSemiVoicedMark(kana)) {
        ++i;
        return kana + 2;
    }
    return kana;
}

std::u32string Fold(const std::u32string& text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = text[i];
        if (c >= 0xFF66 && c <= 0xFF9D) {
            c = WidenHalfKana(text, i);
        } else {
            ++i;
            if (c >= 0xFF01 && c <= 0xFF5E) {
                c -= 0xFF01 - 0x21;  // full-width ASCII
            } else if (c == 0x3000) {
                c = U' ';
            } else if (c == kHalfVoiced) {
                c = U'゛';
            } else if (c == kHalfSemiVoiced) {
                c = U'゜';
            }
        }
        if (c >= U'A' && c <= U'Z') {
            c += U'a' - U'A';
        } else if (c >= U'ァ' && c <= U'ヶ') {
            c -= U'ァ' - U'ぁ';  // katakana to hiragana
        }
        out.push_back(c);
    }
    return out;
}

int Compare(const std::u32string& a, const std::u32string& b) {
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace

TTitleKey MakeTitleKey(std::string_view cp932Title) {
    TTitleKey key;
    key.Exact = DecodeUtf8(Cp932ToUtf8(cp932Title));
    key.Folded = Fold(key.Exact);
    return key;
}

int CompareTitleKeys(const TTitleKey& a, const TTitleKey& b) {
    const int folded = Compare(a.Folded, b.Folded);
    return folded != 0 ? folded : Compare(a.Exact, b.Exact);
}

int CompareTitles(std::string_view cp932A, std::string_view cp932B) {
    return CompareTitleKeys(MakeTitleKey(cp932A), MakeTitleKey(cp932B));
}
