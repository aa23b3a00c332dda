#pragma once

#include <string>
#include <vector>

#include "storage/DataInfo.h"

// The year file's format, apart from the day store, so that any year can be read without moving
// the store: one line per day, in date order, of ValuesToLine fields Date, Weather, Extra,
// Title, Text, RichText, Private, News, each line ended by CR LF.

// What the text of a year file holds.
struct TYearFileText {
    std::vector<TDataInfo> Records;  // ascending by Date, one per day; a later line of a day wins
    std::vector<int> BadLines;       // numbers of the lines that could not be read
    std::string FirstError;          // the message of the first of them
    std::vector<int> CutLines;       // numbers of the lines cut short inside a field (FieldCut)
    // Lines a save would lose: a day's earlier line replaced by a later one, a line without a
    // date that held content, fields past the last one.
    bool LinesASaveWouldLose = false;

    // Whether the records are all the file held, so a save would write back what was read.
    bool ReadWhole() const { return BadLines.empty() && CutLines.empty() && !LinesASaveWouldLose; }
};

// Which fields a reader takes: a search has no use for the rich text, the largest field by far.
enum class TYearFileFields { All, WithoutRichText };

// Reads the text of a year file (CP932; LF, CR LF and CR line ends alike). Never throws: what
// cannot be read is listed. WithoutRichText leaves RichText empty.
TYearFileText ParseYearFile(std::string contents, TYearFileFields fields = TYearFileFields::All);

// The text of a year file holding records (in the order given).
std::string YearFileText(const std::vector<const TDataInfo*>& records);

// The path of the year file of year in the folder dir (which ends with a path separator).
std::string YearFilePath(const std::string& dir, int year);

// What reading the year file at path gave, for readers other than the day store (search, moving
// a page): a missing file is an empty year; a file in UTF-8 is read as such, unless ownWrite
// says it is as Velmora wrote it (TScrapList::WroteAsItIs), which makes it CP932.
struct TYearFileRead {
    TYearFileText Text;
    bool Missing = false;     // no file at path
    bool ReadAsUtf8 = false;  // the file was UTF-8 and has been converted
    std::string Error;        // why the file could not be read at all (CP932), else empty
};
TYearFileRead ReadYearFile(const std::string& path, TYearFileFields fields = TYearFileFields::All,
                           bool ownWrite = false);
