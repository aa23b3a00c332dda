#pragma once

#include <string>
#include <string_view>

// One conversion between two encodings through the C library's iconv, opened once and reset
// before every use. The CP932 codec and the code pages of rich text both convert through it.
class TIconv {
public:
    // to and from are iconv's names ("UTF-8", "CP932", "UTF-32LE", ...).
    TIconv(const char* to, const char* from);
    ~TIconv();
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // False when the C library does not know one of the two encodings.
    bool IsOpen() const;

    // Converts as much of in as the converter takes, appending to out, and ends the output
    // cleanly (a character held back for a combining mark is written). Returns the number of
    // input bytes consumed: all of them, or up to the first sequence that is invalid or cut
    // short.
    size_t Convert(std::string_view in, std::string& out);

private:
    void* cd_;
};
