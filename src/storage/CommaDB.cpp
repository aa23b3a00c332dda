#include "storage/CommaDB.h"

#include <algorithm>
#include <cstdio>

#include "storage/Cp932.h"
#include "storage/StrUtils.h"
#include "storage/VelmoraError.h"

namespace {

bool IsBlank(char byte) {
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ';
}

// The general form with 15 significant digits and the exponent written as "E20" or "E-5".
std::string FormatDouble(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (const size_t e = text.find('e'); e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = exponent.front() == '-';
        exponent.erase(0, exponent.find_first_not_of("+-0"));
        text = text.substr(0, e) + (negative ? "E-" : "E") + exponent;
    }
    return text;
}

int DigitValue(char c, int base) {
    int v = 99;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}

// A field without quotes: one without a backslash is copied once as it stands.
std::string DecodeUnquoted(std::string_view field) {
    return field.find('\\') == std::string_view::npos ? std::string(field) : DecodeText(field);
}

}  // namespace

std::optional<int64_t> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    const uint64_t limit = base == 16 ? UINT64_MAX : uint64_t{INT64_MAX} + (negative ? 1 : 0);
    uint64_t value = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0 || value > (limit - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return static_cast<int64_t>(negative ? 0 - value : value);
}

std::string TFieldValue::Encoded() const {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(int32_t v) const { return std::to_string(v); }
        std::string operator()(int64_t v) const { return std::to_string(v); }
        std::string operator()(bool v) const { return v ? "1" : "0"; }
        std::string operator()(char v) const { return std::string(1, v); }
        std::string operator()(double v) const { return FormatDouble(v); }
        std::string operator()(const std::string& v) const { return EncodeField(v); }
    };
    return std::visit(Visitor{}, value_);
}

std::string ValuesToLine(const std::vector<TFieldValue>& values) {
    std::string line;
    for (const TFieldValue& value : values) {
        line += value.Encoded();
        line += ',';
    }
    return line;
}

std::string ValuesToLine(std::initializer_list<TFieldValue> values) {
    return ValuesToLine(std::vector<TFieldValue>(values));
}

void TCommaFile::SetLine(std::string line) {
    owned_ = std::move(line);
    line_ = owned_;
    cursor_ = 0;
    fieldCut_ = false;
}

bool TCommaFile::ReadLine(TTextReader& reader) {
    // The line is read where it lies in the reader: a year's lines run to megabytes.
    if (!reader.ReadLine(line_)) {
        return false;
    }
    cursor_ = 0;
    fieldCut_ = false;
    return true;
}

void TCommaFile::SkipBlanks() {
    while (*cursor_ < line_.size() && IsBlank(line_[*cursor_])) {
        ++*cursor_;
    }
}

char TCommaFile::PeekChar() {
    if (!cursor_) {
        return 0;
    }
    SkipBlanks();
    return *cursor_ < line_.size() ? line_[*cursor_] : 0;
}

std::string TCommaFile::GetField() {
    std::string field;
    if (!cursor_) {
        return field;
    }
    SkipBlanks();
    *cursor_ = PastComma(ScanField(*cursor_, &field));
    return field;
}

std::string_view TCommaFile::GetRawField() {
    if (!cursor_) {
        return {};
    }
    SkipBlanks();
    const size_t start = *cursor_;
    const size_t end = ScanField(start, nullptr);
    *cursor_ = PastComma(end);
    return line_.substr(start, end - start);
}

size_t TCommaFile::ScanField(size_t at, std::string* field) {
    const size_t size = line_.size();
    bool quoted = at < size && line_[at] == '"';
    if (quoted) {
        ++at;
    }
    while (at < size) {
        // Take the run of bytes up to the next byte that means something here.
        const size_t end = std::min(FindSingleByte(line_, quoted ? '"' : ',', at), size);
        if (field) {
            field->append(line_, at, end - at);
        }
        at = end;
        if (at == size || !quoted) {
            break;
        }
        // A doubled quote stands for one; a single one closes the quotes.
        if (at + 1 < size && line_[at + 1] == '"') {
            if (field) {
                field->push_back('"');
            }
            at += 2;
        } else {
            quoted = false;
            ++at;
        }
    }
    fieldCut_ = fieldCut_ || quoted;
    return at;
}

size_t TCommaFile::PastComma(size_t end) const {
    return end < line_.size() ? end + 1 : end;
}

std::string TCommaFile::GetText() {
    return DecodeRawField(GetRawField());
}

std::string DecodeRawField(std::string_view raw) {
    // The common fields are decoded where they lie: one without quotes (no byte of a double-byte
    // character is a comma, so it holds no comma at all), and one whose quotes only enclose it.
    if (raw.empty() || raw.front() != '"') {
        return DecodeUnquoted(raw);
    }
    if (raw.size() >= 2 && raw.find('"', 1) == raw.size() - 1) {
        return DecodeText(raw.substr(1, raw.size() - 2));
    }
    TCommaFile line;
    line.SetLine(std::string(raw));
    return DecodeText(line.GetField());
}

int32_t TCommaFile::GetInteger() {
    const std::string field = GetField();
    if (field.empty()) {
        return 0;
    }
    const std::optional<int64_t> value = ParseInteger(field);
    if (!value) {
        throw VelmoraError(FormatMessage(Sjis("'%s' は整数ではありません"), field));
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(*value)));
}

int32_t TCommaFile::GetIntegerAbove(int32_t floor, int32_t fallback) {
    const int32_t value = GetInteger();
    return value > floor ? value : fallback;
}
