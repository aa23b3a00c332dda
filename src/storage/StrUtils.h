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

// The position of the first byte equal to the ASCII byte target at or after from (a character
// boundary) that is a character of its own, not the second byte of a double-byte character;
// npos when there is none.
size_t FindSingleByte(std::string_view text, char target, size_t from);

// text without its leading and trailing bytes of value 32 or less (blanks and control characters).
std::string_view TrimText(std::string_view text);

// A one-line preview of text for a list cell: cut after about budget bytes (a double-byte
// character across the limit is taken whole, so one byte more is possible; a NUL ends the text),
// each CR LF shown as "¶", blanks and control characters trimmed at both ends, and "..." added
// when the text was longer than budget. Budget 0 returns text unchanged.
std::string TruncateText(std::string_view text, int budget);

// The field form of a text: TAB as "\t", LF as "\n", CR removed, backslash doubled, double quote
// doubled; the whole field is enclosed in double quotes when the text holds a double quote, a
// space or a comma. A NUL and the byte 0x1A (which ends a file being read) are dropped.
std::string EncodeField(std::string_view text);

// Undoes the backslash escapes of EncodeField: "\n" gives CR LF, "\t" a TAB, and a backslash
// before any other byte gives that byte. Double quotes are left alone.
std::string DecodeText(std::string_view field);
