#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Folding for search, so that the ways Japanese text can be typed find each other: NFKC's
// compatibility forms (full-width ASCII, half-width katakana with their sound marks, circled
// numbers, Roman numerals, the squared units and era names of CP932), case (ASCII, Latin-1,
// Greek, Cyrillic) and hiragana as katakana. Characters beyond CP932 stored as references
// ("&#x1F600;") count as the characters they stand for.

// The folded code points of the CP932 text. When source is given, it receives for each folded
// code point the byte offset in text of the character it came from, and one more entry: the
// size of text.
std::u32string FoldForSearch(std::string_view text, std::vector<uint32_t>* source = nullptr);
