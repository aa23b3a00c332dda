#include "storage/StrUtils.h"

#include <algorithm>

#include "storage/Cp932.h"

namespace {

constexpr std::string_view kPilcrow = "\x81\xF7";  // "¶" in CP932

// The byte of the escape "\xHH" at at, when it is one EncodeField writes that way (NUL, 0x1A, a
// lead byte); otherwise -1, and the backslash escapes the "x" alone as before.
int EscapedByte(const char* at, const char* end) {
    if (end - at < 4 || at[1] != 'x' || HexDigitValue(at[2]) < 0 || HexDigitValue(at[3]) < 0) {
        return -1;
    }
    const int value = HexDigitValue(at[2]) * 16 + HexDigitValue(at[3]);
    return value == 0 || value == 0x1A || IsLeadByte(static_cast<unsigned char>(value)) ? value
                                                                                        : -1;
}

// Whether a lead byte that stands alone may be written as itself before next, the byte after it
// in the text: next is written as itself and is neither a control character nor a byte of the
// line's structure, so no reader takes more than a character of text along with the lead byte.
bool LoneLeadByteStaysRaw(std::string_view text, size_t i) {
    if (i + 1 >= text.size()) {
        return false;  // the comma or quote after the field would go with it
    }
    const auto next = static_cast<unsigned char>(text[i + 1]);
    return next >= 0x20 && next < 0x40 && next != '"' && next != ',';
}

bool IsBlankOrControl(char byte) {
    return static_cast<unsigned char>(byte) <= 32;
}

std::string ShowLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(text[i]) && i + 1 < text.size()) {
            result.append(text.substr(i, 2));
            ++i;
        } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result.append(kPilcrow);
            ++i;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

}  // namespace

std::string_view TrimText(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string TruncateText(std::string_view text, int budget) {
    if (budget == 0) {
        return std::string(text);
    }
    // A character beyond CP932, kept as "&#x...;", is taken whole and counts as a double-byte
    // one: cut, its bytes would show as the reference's letters.
    const auto weight = [](size_t length) { return length == 1 ? 1 : 2; };
    size_t end = 0;
    int left = budget;
    while (end < text.size() && text[end] != '\0' && left > 0) {
        const size_t length = ShownCharLength(text, end);
        end += length;
        left -= weight(length);
    }
    // "..." when the whole text, bytes after a NUL included, holds more than the budget.
    for (size_t at = end; left >= 0 && at < text.size();) {
        const size_t length = ShownCharLength(text, at);
        at += length;
        left -= weight(length);
    }
    std::string result(TrimText(ShowLineBreaks(text.substr(0, end))));
    if (left < 0) {
        result += "...";
    }
    return result;
}

std::string EncodeField(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size() + 2);
    bool quote = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        if (CharLength(text, i) == 2) {
            result.append(text.substr(i, 2));
            ++i;
            continue;
        }
        switch (byte) {
            case '\t':
                result += "\\t";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\r':
                break;
            case '\\':
                result += "\\\\";
                break;
            case '"':
                result += "\"\"";
                quote = true;
                break;
            case ' ':
            case ',':
                result.push_back(byte);
                quote = true;
                break;
            default:
                // 0x1A would end the whole file when it is read back.
                if (byte == '\0' || byte == '\x1A' ||
                    (IsLeadByte(byte) && !LoneLeadByteStaysRaw(text, i))) {
                    const auto value = static_cast<unsigned char>(byte);
                    result += "\\x";
                    result.push_back(kHex[value >> 4]);
                    result.push_back(kHex[value & 15]);
                } else {
                    result.push_back(byte);
                }
        }
    }
    return quote ? '"' + result + '"' : result;
}

size_t FindSingleByte(std::string_view text, char target, size_t from) {
    for (size_t at = text.find(target, from); at != std::string_view::npos;
         at = text.find(target, at + 1)) {
        // The byte before a run of lead-range bytes ends a character, and the run pairs up from
        // there: after an odd number of them, the hit is the second byte of a character.
        // A byte below 0x40 is never the second byte of a character.
        if (!IsTrailByte(target)) {
            return at;
        }
        size_t run = 0;
        while (at - run > from && IsLeadByte(text[at - run - 1])) {
            ++run;
        }
        if (run % 2 == 0) {
            return at;
        }
    }
    return std::string_view::npos;
}

std::string DecodeText(std::string_view field) {
    // One pass over the bytes into room for the field's size, since no escape makes the text
    // longer (a backslash and "n" become CR LF). Every page's text is decoded when its year
    // loads, so the runs between escapes are found by memchr and copied whole.
    std::string result;
    result.reserve(field.size());
    size_t at = 0;
    while (at < field.size()) {
        const size_t escape = std::min(FindSingleByte(field, '\\', at), field.size());
        result.append(field, at, escape - at);
        at = escape;
        if (at == field.size()) {
            break;
        }
        if (at + 1 < field.size()) {
            const char escaped = field[at + 1];
            if (escaped == 'n') {
                result += "\r\n";
            } else if (const int hex = EscapedByte(field.data() + at, field.data() + field.size());
                       hex >= 0) {
                result.push_back(static_cast<char>(hex));
                at += 2;
            } else {
                result.push_back(escaped == 't' ? '\t' : escaped);
            }
        }
        at += 2;
    }
    return result;
}

std::string ReadQuotedField(std::string_view text, size_t& pos) {
    std::string field;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
                field += '"';
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        const size_t length = CharLength(text, pos);
        field.append(text.substr(pos, length));
        pos += length;
    }
    return field;
}
