#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "storage/TextReader.h"

// The comma-separated line of the year files, the note files and several settings values:
// every field is followed by a comma, the last one included, and texts are escaped by
// EncodeField. ValuesToLine writes such a line; TCommaFile reads one back field by field.

// The integer of a field or setting: an optional sign, then decimal digits within the signed
// 64-bit range or "$" and at most 16 hexadecimal digits; nullopt for anything else, "" included.
std::optional<int64_t> ParseInteger(std::string_view text);

// One value of a line. An empty value (std::monostate) writes nothing but its comma.
class TFieldValue {
public:
    TFieldValue() = default;
    TFieldValue(int32_t v) : value_(v) {}
    TFieldValue(int64_t v) : value_(v) {}
    TFieldValue(bool v) : value_(v) {}
    TFieldValue(char v) : value_(v) {}
    TFieldValue(double v) : value_(v) {}
    TFieldValue(std::string v) : value_(std::move(v)) {}
    TFieldValue(std::string_view v) : value_(std::string(v)) {}
    TFieldValue(const char* v) : value_(std::string(v)) {}

    // The field as written: integers in decimal, text through EncodeField, booleans as "0" or
    // "1", a character as itself, a double in its shortest general form (15 digits).
    std::string Encoded() const;

private:
    std::variant<std::monostate, int32_t, int64_t, bool, char, double, std::string> value_;
};

// One line (without line end) from values in order, each followed by ",". No values give "".
std::string ValuesToLine(std::initializer_list<TFieldValue> values);
std::string ValuesToLine(const std::vector<TFieldValue>& values);

// The text of a field as TCommaFile::GetRawField gave it: what GetText gives for it.
std::string DecodeRawField(std::string_view raw);

// Reads the fields of one line left to right. Reading never changes the line; getters past
// the last field yield "" and 0.
class TCommaFile {
public:
    TCommaFile() = default;
    // A copy would see the line of the original.
    TCommaFile(const TCommaFile&) = delete;
    TCommaFile& operator=(const TCommaFile&) = delete;

    void SetLine(std::string line);
    // The next line of reader, cursor at its start; false at the end of the file. The line is
    // not copied: reader must outlive its reading.
    bool ReadLine(TTextReader& reader);

    std::string_view Line() const { return line_; }

    // Skips TAB, LF, CR and space and returns the byte then under the cursor, without taking it;
    // 0 at the end of the line or before any line was set.
    char PeekChar();
    // The next field with its quoting resolved and its escapes kept; the cursor moves past the
    // field and one comma. An unterminated quoted field ends at the end of the line.
    std::string GetField();
    // Whether a field read from this line had no closing quote. The format never breaks a line
    // inside a field, so the line was cut short there: the file was not read whole.
    bool FieldCut() const { return fieldCut_; }
    // The next field as it stands in the line, quotes and escapes kept (for DecodeRawField); the
    // cursor moves as GetField moves it. The view lasts as long as the line.
    std::string_view GetRawField();
    std::string GetString() { return GetField(); }
    // The next field with its escapes undone (DecodeText).
    std::string GetText();
    // The next field as an integer: "" gives 0; otherwise an optional sign and decimal digits,
    // or "$" and hexadecimal digits, within 64 bits, cut to the low 32 bits. Anything else
    // throws VelmoraError "'%s' は整数ではありません" with the field text.
    int32_t GetInteger();
    // GetInteger's value when above floor, otherwise fallback.
    int32_t GetIntegerAbove(int32_t floor, int32_t fallback);

private:
    void SkipBlanks();
    // Scans the field that starts at at (past blanks) up to the comma after it or the end of
    // the line, appending its text with the quoting resolved to field when given; returns where
    // it ended.
    size_t ScanField(size_t at, std::string* field);
    size_t PastComma(size_t end) const;

    std::string owned_;      // the line given to SetLine
    std::string_view line_;  // the line read: owned_ or a line of a reader
    std::optional<size_t> cursor_;
    bool fieldCut_ = false;
};
