#pragma once

#include <QString>
#include <string>
#include <string_view>

// The Windows code page of an RTF font character set (\fcharset); fallback for the character
// sets that name no code page of their own (DEFAULT and unknown ones). SYMBOL faces read
// their bytes as code page 1252.
int CodePageOfCharset(int charset, int fallback);

// Decodes bytes of a Windows code page. Bytes the code page cannot decode, including a lead
// byte left without its trail byte, each become U+FFFD; an unknown code page decodes as 1252.
QString DecodeCodePage(int codePage, std::string_view bytes);

// The bytes of one character in a Windows code page, only where they read back as that very
// character; false for characters the code page holds only as a stand-in or not at all.
bool EncodeCodePage(int codePage, char32_t c, std::string& bytes);
