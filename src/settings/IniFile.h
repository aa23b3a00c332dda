#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/FontDesc.h"

// The settings file: NAME=value lines with no sections, held in memory with typed reads and
// writes. Text is CP932.

// A window's bounds in screen pixels.
struct TWindowRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

constexpr uint8_t WindowNormal = 0;
constexpr uint8_t WindowMinimized = 1;
constexpr uint8_t WindowMaximized = 2;

// Comma lists of the settings values. Splitting skips leading bytes 1..32; an item in double
// quotes runs to the closing quote (a doubled quote stands for one, a missing closing quote runs
// to the end), any other item up to a comma or a byte of 32 or less; one comma and the blanks
// around it separate items; a NUL ends the value. Joining puts commas between the items and
// quotes an item holding a byte of 32 or less, a double quote or a comma; a list of one empty
// item is written as two double quotes.
std::vector<std::string> SplitCommaList(std::string_view value);
std::string JoinCommaList(const std::vector<std::string>& items);

// The settings integer: decimal with an optional sign, or "$" and hexadecimal digits. Throws
// VelmoraError "'%s' は整数ではありません" with the text for anything else, the empty text
// included.
int32_t SettingToInteger(const std::string& text);

class TInitFile {
public:
    // Reads the lines of the file at path when it exists (a missing file is an empty list). A
    // file in UTF-8 is read as such (ConvertUtf8File). Throws VelmoraError
    // "ファイル %s は開けません" with the reason when it exists but cannot be read.
    explicit TInitFile(std::string path);

    // A setting is the first line whose text before its first "=" is name, letter case aside;
    // its value is everything after that "=".
    std::optional<std::string> Find(std::string_view name) const;

    // The value, or defaultText when the setting is absent.
    std::string ReadString(std::string_view name, std::string_view defaultText = {}) const;
    // Sets the setting's line to NAME=text, or removes the line when text is empty. Later lines
    // of the same setting, which reading never sees, are removed, so the value written is the
    // one read back.
    void WriteString(std::string_view name, std::string_view text);

    // Throws as SettingToInteger for a present value that is not an integer.
    int32_t ReadInteger(std::string_view name, int32_t defaultValue) const;
    void WriteInteger(std::string_view name, int32_t value);

    // True exactly for the value "1"; defaultValue when absent.
    bool ReadBool(std::string_view name, bool defaultValue) const;
    void WriteBool(std::string_view name, bool value);

    // Applies a list of exactly six items (face, character set, colour, style, size, pitch) to
    // font, adding the style bits to its styles; the value is defaultText when absent, and
    // without one an absent setting leaves font as it is. A list of another length changes
    // nothing. Throws as SettingToInteger for an item that is not an integer.
    void ReadFont(std::string_view name, TFontDesc& font,
                  std::optional<std::string_view> defaultText = {}) const;
    void WriteFont(std::string_view name, const TFontDesc& font);

    // State, left, top, right, bottom. A list of another length gives the normal state and the
    // empty rectangle; a state other than 0..2 counts as normal. Throws as SettingToInteger for
    // an item that is not an integer.
    void ReadWindowInfo(std::string_view name, TWindowRect& rect, uint8_t& state) const;
    void WriteWindowInfo(std::string_view name, const TWindowRect& rect, uint8_t state);

    // Orders the lines by their whole text, letter case aside.
    void Sort();

    // Writes the lines, each ended by CR LF, to the file through SafeWriteFile when a path is
    // set and a write changed something. Throws VelmoraError "ファイル %s を作成できません" on
    // failure, leaving the file on disk as it was.
    void UpdateFile();

    const std::vector<std::string>& Lines() const { return lines_; }
    bool Modified() const { return modified_; }
    // The file was in UTF-8 and has been converted.
    bool WasUtf8() const { return wasUtf8_; }
    // A NUL byte ended the text before the end of the file: the rest was not read.
    bool CutShort() const { return cutShort_; }

private:
    std::vector<std::string>::const_iterator FindLine(std::string_view name) const;

    std::string path_;
    std::vector<std::string> lines_;
    bool modified_ = false;
    bool wasUtf8_ = false;
    bool cutShort_ = false;
};
