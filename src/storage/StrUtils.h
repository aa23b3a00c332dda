#pragma once

#include <string>
#include <string_view>

// Byte rules for CP932 text. Every walk over the bytes of a text takes a lead byte together with
// the byte after it, because that second byte may be 0x5C (the backslash) or another ASCII value.

// True for the CP932 lead bytes 0x81..0x9F and 0xE0..0xFC.
constexpr bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
constexpr bool IsLeadByte(char byte) {
    return IsLeadByte(static_cast<unsigned char>(byte));
}

// True for the bytes that can follow a lead byte in one character: 0x40 and up. A lead byte
// before anything else (a comma, a quote, a line break, the end of the text) stands alone, so
// it never takes a byte of the format's structure along.
constexpr bool IsTrailByte(char byte) {
    return static_cast<unsigned char>(byte) >= 0x40;
}

// The length of the character at text[i]: 2 for a lead byte followed by a trail byte, else 1.
constexpr size_t CharLength(std::string_view text, size_t i) {
    return IsLeadByte(text[i]) && i + 1 < text.size() && IsTrailByte(text[i + 1]) ? 2 : 1;
}

// The value of a hexadecimal digit, or -1.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The double-quoted field that opens at text[pos] (a '"'), as the holiday and settings files
// write one: "" inside stands for one quote. pos moves past the closing quote, or to the end of
// the text when there is none.
std::string ReadQuotedField(std::string_view text, size_t& pos);

// The position of the first byte equal to the ASCII byte target at or after from (a character
// boundary) that is a character of its own, not the second byte of a double-byte character;
// npos when there is none.
size_t FindSingleByte(std::string_view text, char target, size_t from);

// text without its leading and trailing bytes of value 32 or less (blanks and control characters).
std::string_view TrimText(std::string_view text);

// A one-line preview of text for a list cell: cut after about budget bytes (a double-byte
// character across the limit is taken whole, so one byte more is possible; a character beyond
// CP932 kept as "&#x...;" counts two bytes and is taken whole too; a NUL ends the text),
// each CR LF shown as "¶", blanks and control characters trimmed at both ends, and "..." added
// when the text was longer than budget. Budget 0 returns text unchanged.
std::string TruncateText(std::string_view text, int budget);

// The field form of a text: TAB as "\t", LF as "\n", CR removed, backslash doubled, double quote
// doubled; the whole field is enclosed in double quotes when the text holds a double quote, a
// space or a comma. A NUL, the byte 0x1A (which may end a file being read) and a lead byte that
// stands alone (see IsTrailByte) are written as "\x" and two hexadecimal digits, so that every
// text reads back as itself and no lead byte takes the next byte of the line along; a lone lead
// byte before a space, a digit or other punctuation below 0x40 but the quote and the comma is
// written as itself, as a damaged file held it, since whatever takes that byte along loses no
// byte of the line's structure.
std::string EncodeField(std::string_view text);

// Undoes the backslash escapes of EncodeField: "\n" gives CR LF, "\t" a TAB, "\x" with two
// hexadecimal digits that byte when EncodeField writes it so (NUL, 0x1A, a lead byte), and a
// backslash before any other byte gives that byte. Double
// quotes are left alone.
std::string DecodeText(std::string_view field);
