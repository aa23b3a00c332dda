#include "storage/YearFile.h"

#include <map>
#include <utility>

#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/FileEncoding.h"
#include "storage/SafeWrite.h"
#include "storage/StrUtils.h"
#include "storage/TextReader.h"
#include "storage/VelmoraError.h"

namespace {

TDataInfo ReadRecord(TCommaFile& line, TYearFileFields fields) {
    TDataInfo rec;
    rec.Date = line.GetInteger();
    rec.Weather = line.GetInteger();
    rec.Extra = line.GetText();
    rec.Title = line.GetText();
    rec.Text = line.GetText();
    if (fields == TYearFileFields::All) {
        rec.RichText = line.GetText();
    } else {
        line.GetField();
    }
    rec.Private = line.GetText();
    rec.News = line.GetText();
    // A file without the rich text shows the plain text.
    if (rec.RichText.empty() && fields == TYearFileFields::All) {
        rec.RichText = rec.Text;
    }
    return rec;
}

}  // namespace

TYearFileText ParseYearFile(std::string contents, TYearFileFields fields) {
    TYearFileText result;
    TTextReader reader(std::move(contents));
    TCommaFile line;
    std::map<int32_t, TDataInfo> days;
    while (line.ReadLine(reader)) {
        try {
            TDataInfo rec = ReadRecord(line, fields);
            if (line.FieldCut()) {
                result.CutLines.push_back(reader.LineNumber());
            }
            const bool extraFields = line.PeekChar() != 0;
            if (rec.Date == 0) {
                result.LinesASaveWouldLose =
                    result.LinesASaveWouldLose || extraFields || !TrimText(line.Line()).empty();
                continue;
            }
            const bool replaced = days.contains(rec.Date);
            result.LinesASaveWouldLose = result.LinesASaveWouldLose || extraFields || replaced;
            days[rec.Date] = std::move(rec);
        } catch (const VelmoraError& e) {
            if (result.BadLines.empty()) {
                result.FirstError = e.what();
            }
            result.BadLines.push_back(reader.LineNumber());
        }
    }
    result.Records.reserve(days.size());
    for (auto& [date, rec] : days) {
        result.Records.push_back(std::move(rec));
    }
    return result;
}

std::string YearFileText(const std::vector<const TDataInfo*>& records) {
    std::string contents;
    for (const TDataInfo* rec : records) {
        contents += ValuesToLine({rec->Date, rec->Weather, rec->Extra, rec->Title, rec->Text,
                                  rec->RichText, rec->Private, rec->News});
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
