#include "storage/StrUtils.h"

namespace {

constexpr std::string_view kPilcrow = "\x81\xF7";  // "¶" in CP932

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

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string TruncateText(std::string_view text, int budget) {
    if (budget == 0) {
        return std::string(text);
    }
    const bool longer = budget < 0 || text.size() > static_cast<size_t>(budget);
    size_t end = 0;
    int left = budget;
    while (end < text.size() && text[end] != '\0' && left > 0) {
        if (IsLeadByte(text[end])) {
            if (end + 1 == text.size()) {
                ++end;
                break;
            }
            end += 2;
            left -= 2;
        } else {
            ++end;
            --left;
        }
    }
    std::string result(TrimText(ShowLineBreaks(text.substr(0, end))));
    if (longer) {
        result += "...";
    }
    return result;
}

std::string EncodeField(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    bool quote = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        if (IsLeadByte(byte)) {
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
            case '\0':
                // A NUL is dropped like a CR; escaping goes on after it so the line stays whole.
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
                result.push_back(byte);
        }
    }
    return quote ? '"' + result + '"' : result;
}

std::string DecodeText(std::string_view field) {
    std::string result;
    result.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        const char byte = field[i];
        if (IsLeadByte(byte)) {
            result.append(field.substr(i, 2));
            ++i;
        } else if (byte != '\\') {
            result.push_back(byte);
        } else if (i + 1 < field.size()) {
            ++i;
            if (field[i] == 'n') {
                result += "\r\n";
            } else if (field[i] == 't') {
                result.push_back('\t');
            } else {
                result.push_back(field[i]);
            }
        }
    }
    return result;
}
