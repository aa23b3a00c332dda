#pragma once

#include <string>
#include <string_view>
#include <vector>

// The boundary between the core's CP932 bytes and the widgets' Unicode, carried as UTF-8.
//
// Nothing a user types is lost on a save and a reload: a character CP932 cannot hold is written
// as the numeric character reference "&#xHEX;" and read back as that character (only for such
// characters, so a reference to a CP932 character stays as typed); a typed "&" that would start
// such a reference is written as "&#x26;". Bytes of a file that are not CP932 come through as
// the private-use characters U+F780..U+F7FF and are written back as the same bytes where those
// read back the same; otherwise (a typed character of that range, a stray lead byte that would
// join the next character or a field's comma) they are written as references too. Characters
// with a CP932 twin (the wave dash U+301C and the like) take the CP932 form; the yen sign and
// the overline take their full-width forms, since 0x5C and 0x7E read back as the
// backslash and the tilde.

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// The CP932 form of a text the user typed or was shown (through Cp932ToShown, where the bytes
// of a file that are no CP932 show as U+FFFD): as Utf8ToCp932, except that a private-use
// character of U+F780..U+F7FF is the user's own and is written as a reference, never as a byte.
std::string TypedToCp932(std::string_view typed);

// A CP932 text as the widgets show it: as Cp932ToUtf8, except that each byte that is no CP932
// shows as the replacement character U+FFFD. replaced, when given, receives in order what each
// U+FFFD of the result stands for in cp932: such a byte, or a reference "&#xFFFD;" to the
// replacement character itself.
std::string Cp932ToShown(std::string_view cp932, std::vector<std::string>* replaced = nullptr);

// The CP932 form of shown, a text shown from original by Cp932ToShown and maybe edited since, so
// that the bytes a user did not touch stay as they were: original itself when shown is
// unchanged; otherwise Utf8ToCp932(shown), except that each U+FFFD that stands where one of
// original stood is written as what it stood for, where that reads back as U+FFFD and leaves the
// text after it as it was. The U+FFFD of the unchanged start and end of the text keep their own;
// those of the edited middle take the middle's in order, and any beyond them are new.
std::string ShownToCp932(std::string_view shown, std::string_view original);

// Decodes the UTF-8 character at the start of s; length 0 when s does not start with one.
char32_t DecodeUtf8(std::string_view s, size_t& length);

// The length of the reference "&#xHEX;" at text[i] that reading turns into a character, with
// that character in c; 0 when there is none. Such a reference names a character CP932 cannot
// hold, or the ampersand itself, which is how a typed "&" that would start one is kept.
size_t ReferenceAt(std::string_view text, size_t i, char32_t& c);

// The length of the character at text[i] as a reader sees it: a reference ReferenceAt takes
// whole, otherwise CharLength. Cutting text only at such lengths never shows part of one.
size_t ShownCharLength(std::string_view text, size_t i);

// The CP932 bytes of one character; false, with bytes untouched, when CP932 has none.
bool EncodeCp932Char(char32_t codePoint, std::string& bytes);

// CP932 text of a UTF-8 literal, for the messages and names the core writes in source as UTF-8.
inline std::string Sjis(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}
