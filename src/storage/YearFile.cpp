#include "storage/YearFile.h"

#include <algorithm>
#include <utility>

#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/FileEncoding.h"
#include "storage/SafeWrite.h"
#include "storage/StrUtils.h"
#include "storage/TextReader.h"
#include "storage/VelmoraError.h"

namespace {

// The next field kept as read until its text is wanted; a field cut short by the end of the line
// is decoded now, since written back as read it would take the fields after it along.
TLazyText LazyField(TCommaFile& line, const TTextReader& reader) {
    const std::string_view raw = line.GetRawField();
    return line.FieldCut() ? TLazyText(DecodeRawField(raw))
                           : TLazyText::FromField(raw, reader.Bytes());
}

TDataInfo ReadRecord(TCommaFile& line, TYearFileFields fields, const TTextReader& reader) {
    TDataInfo rec;
    rec.Date = line.GetInteger();
    rec.Weather = line.GetInteger();
    rec.Extra = line.GetText();
    rec.Title = line.GetText();
    // The body's texts are the bulk of a year; the calendar's marks need only know whether they
    // are empty, so they are decoded when a page is shown, searched, listed or printed.
    rec.Text = LazyField(line, reader);
    if (fields == TYearFileFields::All) {
        rec.RichText = LazyField(line, reader);
    } else {
        line.GetField();
    }
    rec.Private = line.GetText();
    rec.News = line.GetText();
    // A file without the rich text shows the plain text.
    if (rec.RichText.Empty() && fields == TYearFileFields::All) {
        rec.RichText = rec.Text;
    }
    return rec;
}

}  // namespace

TYearFileText ParseYearFile(std::string contents, TYearFileFields fields) {
    TYearFileText result;
    TTextReader reader(std::move(contents));
    TCommaFile line;
    std::vector<TDataInfo>& days = result.Records;
    while (line.ReadLine(reader)) {
        try {
            TDataInfo rec = ReadRecord(line, fields, reader);
            if (line.FieldCut()) {
                result.CutLines.push_back(reader.LineNumber());
            }
            const bool extraFields = line.PeekChar() != 0;
            if (rec.Date == 0) {
                result.LinesASaveWouldLose =
                    result.LinesASaveWouldLose || extraFields || !TrimText(line.Line()).empty();
                continue;
            }
            result.LinesASaveWouldLose = result.LinesASaveWouldLose || extraFields;
            days.push_back(std::move(rec));
        } catch (const VelmoraError& e) {
            if (result.BadLines.empty()) {
                result.FirstError = e.what();
            }
            result.BadLines.push_back(reader.LineNumber());
        }
    }
    // Files are written in date order, so a sort is rarely needed (and would move every record
    // through a buffer); of the lines of one day the last is kept, and the others are lines a
    // save would lose.
    const auto earlier = [](const TDataInfo& a, const TDataInfo& b) { return a.Date < b.Date; };
    if (!std::is_sorted(days.begin(), days.end(), earlier)) {
        std::stable_sort(days.begin(), days.end(), earlier);
    }
    const auto laterOfDay = [](const TDataInfo& a, const TDataInfo& b) { return a.Date == b.Date; };
    if (std::adjacent_find(days.begin(), days.end(), laterOfDay) != days.end()) {
        result.LinesASaveWouldLose = true;
        std::reverse(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end(), laterOfDay), days.end());
        std::reverse(days.begin(), days.end());
    }
    return result;
}

std::string YearFileText(const std::vector<const TDataInfo*>& records) {
    // The fields go straight into the file's text: a year runs to megabytes, and each copy of a
    // field on the way costs as much as writing it to disk.
    std::string contents;
    for (const TDataInfo* rec : records) {
        for (const int32_t number : {rec->Date, rec->Weather}) {
            contents += std::to_string(number);
            contents += ',';
        }
        for (const std::string* text : {&rec->Extra, &rec->Title}) {
            contents += EncodeField(*text);
            contents += ',';
        }
        rec->Text.AppendField(contents);
        contents += ',';
        rec->RichText.AppendField(contents);
        contents += ',';
        for (const std::string* text : {&rec->Private, &rec->News}) {
            contents += EncodeField(*text);
            contents += ',';
        }
        contents += "\r\n";
    }
    return contents;
}

std::string YearFilePath(const std::string& dir, int year) {
    return dir + std::to_string(year) + ".dat";
}

TYearFileRead ReadYearFile(const std::string& path, TYearFileFields fields, bool ownWrite) {
    TYearFileRead result;
    std::string contents;
    try {
        if (!ReadFileIfExists(path, contents)) {
            result.Missing = true;
            return result;
        }
    } catch (const VelmoraError& e) {
        result.Error = e.what();
        return result;
    }
    result.ReadAsUtf8 = !ownWrite && ConvertUtf8File(contents);
    result.Text = ParseYearFile(std::move(contents), fields);
    return result;
}
