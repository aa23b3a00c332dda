#pragma once

#include <string>
#include <string_view>

// The order of note titles in the lists, the same on every machine. Titles (CP932) are compared
// as Unicode text in two passes:
// 1. after folding: ASCII letters to lower case, full-width ASCII to ASCII, the ideographic
//    space to a space, katakana (full- or half-width, a half-width voiced mark joined to its
//    kana) to hiragana; folded texts are compared by code point;
// 2. texts equal after folding are ordered by their unfolded code points, so "A" and "a" or
//    "か" and "カ" are still different and the order is total.

// A key that holds both passes; keys compare with CompareTitleKeys.
struct TTitleKey {
    std::u32string Folded;
    std::u32string Exact;
};

TTitleKey MakeTitleKey(std::string_view cp932Title);

// Negative, zero or positive as a sorts before, with or after b.
int CompareTitleKeys(const TTitleKey& a, const TTitleKey& b);
int CompareTitles(std::string_view cp932A, std::string_view cp932B);
