#pragma once

#include <cstddef>
#include <string_view>

// One step through RTF: a brace, a control word with its parameter, a control symbol, an
// escaped byte (\'hh) or one byte of text. \bin takes its data with it.
struct RtfToken {
    enum Kind { Open, Close, Word, Symbol, Hex, Text };
    Kind kind = Text;
    std::string_view name;  // a word's letters
    bool hasParam = false;
    int param = 0;          // clamped to int
    std::string_view data;  // \bin's bytes
    char symbol = 0;        // a control symbol's character; 0 when the bytes end after '\'
    int hex = -1;           // \'hh: the byte, -1 when no hex digit follows
    char text = 0;
};

// The tokens of RTF bytes, in order. Every token takes at least one byte, so reading them all
// takes one pass.
class RtfTokens {
public:
    explicit RtfTokens(std::string_view in) : in_(in) {}

    // False at the end of the bytes.
    bool Next(RtfToken& token);

    // Where the next token starts.
    size_t Position() const { return pos_; }
    void Seek(size_t position);

private:
    void ReadWord(RtfToken& token);
    void ReadHex(RtfToken& token);

    std::string_view in_;
    size_t pos_ = 0;
};
