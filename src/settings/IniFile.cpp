#include "settings/IniFile.h"

#include <algorithm>
#include <cstdio>

#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/FileEncoding.h"
#include "storage/SafeWrite.h"
#include "storage/StrUtils.h"
#include "storage/VelmoraError.h"

namespace {

bool IsControlOrBlank(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return b >= 1 && b <= 32;
}

char AsciiLower(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// The position after the character at i.
size_t NextChar(std::string_view text, size_t i) {
    return i + CharLength(text, i);
}

// Compares a and b byte by byte with ASCII letters folded to lower case; the second byte of a
// double-byte character is compared as it is.
int CompareNoCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    bool trailByte = false;
    for (; i < a.size() && i < b.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (!trailByte) {
            x = AsciiLower(x);
            y = AsciiLower(y);
        }
        if (x != y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
        }
        trailByte = !trailByte && IsLeadByte(a[i]);
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Lines end at CR LF, at a lone CR or at a lone LF; a NUL ends the text.
std::vector<std::string> SplitLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", i), text.size());
        lines.emplace_back(text.substr(i, end - i));
        i = end;
        if (i < text.size() && text[i] == '\r') {
            ++i;
        }
        if (i < text.size() && text[i] == '\n') {
            ++i;
        }
    }
    return lines;
}

bool NeedsQuotes(std::string_view item) {
    return std::any_of(item.begin(), item.end(), [](char byte) {
        return static_cast<unsigned char>(byte) <= 32 || byte == '"' || byte == ',';
    });
}

std::string Quoted(std::string_view item) {
    std::string result = "\"";
    for (const char byte : item) {
        result.push_back(byte);
        if (byte == '"') {
            result.push_back('"');
        }
    }
    return result + "\"";
}

// Whether line is a line of the setting name: its text before its first "=" is name, letter
// case aside.
bool NamesSetting(std::string_view line, std::string_view name) {
    const size_t equals = line.find('=');
    return equals != std::string_view::npos && CompareNoCase(line.substr(0, equals), name) == 0;
}

std::string FormatColour(uint32_t colour) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%06X", static_cast<unsigned>(colour));
    return buffer;
}

}  // namespace

std::vector<std::string> SplitCommaList(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    std::vector<std::string> items;
    size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < value.size() && IsControlOrBlank(value[i])) {
            ++i;
        }
    };
    skipBlanks();
    while (i < value.size()) {
        if (value[i] == '"') {
            items.push_back(ReadQuotedField(value, i));
        } else {
            const size_t start = i;
            while (i < value.size() && !IsControlOrBlank(value[i]) && value[i] != ',') {
                i = NextChar(value, i);
            }
            items.emplace_back(value.substr(start, i - start));
        }
        skipBlanks();
        if (i < value.size() && value[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    return items;
}

std::string JoinCommaList(const std::vector<std::string>& items) {
    if (items.size() == 1 && items.front().empty()) {
        return "\"\"";
    }
    std::string result;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            result.push_back(',');
        }
        result += NeedsQuotes(items[i]) ? Quoted(items[i]) : items[i];
    }
    return result;
}

int32_t SettingToInteger(const std::string& text) {
    const std::optional<int64_t> value = ParseInteger(text);
    if (!value) {
        throw VelmoraError(FormatMessage(Sjis("'%s' は整数ではありません"), text));
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(*value)));
}

TInitFile::TInitFile(std::string path) : path_(std::move(path)) {
    std::string text;
    if (path_.empty() || !ReadFileIfExists(path_, text)) {
        return;
    }
    wasUtf8_ = ConvertUtf8File(text);
    cutShort_ = text.find('\0') != std::string::npos;
    lines_ = SplitLines(text);
}

std::vector<std::string>::const_iterator TInitFile::FindLine(std::string_view name) const {
    return std::find_if(lines_.begin(), lines_.end(),
                        [name](const std::string& line) { return NamesSetting(line, name); });
}

std::optional<std::string> TInitFile::Find(std::string_view name) const {
    const auto line = FindLine(name);
    if (line == lines_.end()) {
        return std::nullopt;
    }
    return line->substr(line->find('=') + 1);
}

std::string TInitFile::ReadString(std::string_view name, std::string_view defaultText) const {
    return Find(name).value_or(std::string(defaultText));
}

void TInitFile::WriteString(std::string_view name, std::string_view text) {
    const auto names = [name](const std::string& line) { return NamesSetting(line, name); };
    const auto found = std::find_if(lines_.begin(), lines_.end(), names);
    if (found != lines_.end()) {
        lines_.erase(std::remove_if(found + 1, lines_.end(), names), lines_.end());
    }
    if (text.empty()) {
        if (found != lines_.end()) {
            lines_.erase(found);
        }
    } else {
        std::string line = std::string(name) + "=" + std::string(text);
        if (found != lines_.end()) {
            *found = std::move(line);
        } else {
            lines_.push_back(std::move(line));
        }
    }
    modified_ = true;
}

int32_t TInitFile::ReadInteger(std::string_view name, int32_t defaultValue) const {
    const std::optional<std::string> value = Find(name);
    return value ? SettingToInteger(*value) : defaultValue;
}

void TInitFile::WriteInteger(std::string_view name, int32_t value) {
    WriteString(name, std::to_string(value));
}

bool TInitFile::ReadBool(std::string_view name, bool defaultValue) const {
    const std::optional<std::string> value = Find(name);
    return value ? *value == "1" : defaultValue;
}

void TInitFile::WriteBool(std::string_view name, bool value) {
    WriteString(name, value ? "1" : "0");
}

void TInitFile::ReadFont(std::string_view name, TFontDesc& font,
                         std::optional<std::string_view> defaultText) const {
    std::optional<std::string> value = Find(name);
    if (!value && defaultText) {
        value = std::string(*defaultText);
    }
    if (!value) {
        return;
    }
    const std::vector<std::string> items = SplitCommaList(*value);
    if (items.size() != 6) {
        return;
    }
    // Convert every item before changing the font, so a bad item leaves it whole.
    const auto charset = static_cast<uint8_t>(SettingToInteger(items[1]));
    const auto colour = static_cast<uint32_t>(SettingToInteger(items[2]));
    const auto style = static_cast<uint8_t>(SettingToInteger(items[3]));
    const int32_t size = SettingToInteger(items[4]);
    const auto pitch = static_cast<uint8_t>(SettingToInteger(items[5]));
    font.Name = items[0];
    font.Charset = charset;
    font.Color = colour;
    font.Style |= style & (FontBold | FontItalic | FontUnderline | FontStrikeOut);
    font.Size = size;
    font.Pitch = pitch;
}

void TInitFile::WriteFont(std::string_view name, const TFontDesc& font) {
    WriteString(name, JoinCommaList({font.Name, std::to_string(font.Charset),
                                     FormatColour(font.Color), std::to_string(font.Style),
                                     std::to_string(font.Size), std::to_string(font.Pitch)}));
}

void TInitFile::ReadWindowInfo(std::string_view name, TWindowRect& rect, uint8_t& state) const {
    const std::vector<std::string> items = SplitCommaList(ReadString(name));
    if (items.size() != 5) {
        rect = {};
        state = WindowNormal;
        return;
    }
    const int32_t stateValue = SettingToInteger(items[0]);
    rect = {SettingToInteger(items[1]), SettingToInteger(items[2]), SettingToInteger(items[3]),
            SettingToInteger(items[4])};
    state = stateValue >= WindowNormal && stateValue <= WindowMaximized
                ? static_cast<uint8_t>(stateValue)
                : WindowNormal;
}

void TInitFile::WriteWindowInfo(std::string_view name, const TWindowRect& rect, uint8_t state) {
    WriteString(name, std::to_string(state) + "," + std::to_string(rect.Left) + "," +
                          std::to_string(rect.Top) + "," + std::to_string(rect.Right) + "," +
                          std::to_string(rect.Bottom));
}

void TInitFile::Sort() {
    std::stable_sort(lines_.begin(), lines_.end(), [](const std::string& a, const std::string& b) {
        return CompareNoCase(a, b) < 0;
    });
}

void TInitFile::UpdateFile() {
    if (path_.empty() || !modified_) {
        return;
    }
    std::string text;
    for (const std::string& line : lines_) {
        text += line + "\r\n";
    }
    try {
        SafeWriteFile(path_, text);
    } catch (const VelmoraError& error) {
        throw VelmoraError(
            FormatMessage(Sjis("ファイル %s を作成できません"), path_) + error.Reason(),
            error.Reason());
    }
    modified_ = false;
}
