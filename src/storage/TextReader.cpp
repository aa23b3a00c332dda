#include "storage/TextReader.h"

#include <algorithm>
#include <utility>

namespace {

// Bytes that may follow an end-of-file mark without being content.
bool IsTrailingFiller(char byte) {
    return byte == '\x1A' || byte == '\r' || byte == '\n' || byte == ' ' || byte == '\t';
}

}  // namespace

TTextReader::TTextReader(std::string bytes) {
    // Only a mark with nothing but filler after it ends the file: one stray 0x1A inside a line
    // must not hide every line after it.
    size_t tail = bytes.size();
    while (tail > 0 && IsTrailingFiller(bytes[tail - 1])) {
        --tail;
    }
    if (const size_t eof = bytes.find('\x1A', tail); eof != std::string::npos) {
        bytes.resize(eof);
    }
    bytes_ = std::make_shared<const std::string>(std::move(bytes));
    text_ = *bytes_;
}

bool TTextReader::ReadLine(std::string_view& line) {
    if (AtEnd()) {
        return false;
    }
    // Each line end is searched for once over whole words (find_first_of would test every byte
    // against the set in turn); a file of one kind of line end finds no other one only once.
    const size_t lf = NextAtOrAfter(nextLf_, '\n');
    const size_t cr = NextAtOrAfter(nextCr_, '\r');
    const size_t end = std::min({lf, cr, text_.size()});
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (end < text_.size() && text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') {
        ++pos_;
    }
    ++lineNumber_;
    return true;
}

size_t TTextReader::NextAtOrAfter(size_t& cached, char byte) {
    if (cached == std::string::npos || cached < pos_) {
        cached = text_.find(byte, pos_);
        if (cached == std::string::npos) {
            cached = text_.size();
        }
    }
    return cached;
}
