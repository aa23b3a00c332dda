#include "storage/TextReader.h"

#include <utility>

TTextReader::TTextReader(std::string bytes) : bytes_(std::move(bytes)) {
    if (const size_t eof = bytes_.find('\x1A'); eof != std::string::npos) {
        bytes_.resize(eof);
    }
}

bool TTextReader::ReadLine(std::string& line) {
    if (AtEnd()) {
        return false;
    }
    size_t end = bytes_.find_first_of("\r\n", pos_);
    if (end == std::string::npos) {
        end = bytes_.size();
    }
    line.assign(bytes_, pos_, end - pos_);
    pos_ = end + 1;
    if (end < bytes_.size() && bytes_[end] == '\r' && pos_ < bytes_.size() &&
        bytes_[pos_] == '\n') {
        ++pos_;
    }
    ++lineNumber_;
    return true;
}
