#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "storage/DataInfo.h"

class THolidayList;

// The formats pages go out in.
enum class TPageFormat {
    Html,      // one file: a table of contents by month, then every day; pictures beside it
    Markdown,  // a folder: one daily note per day, "2024-05-15.md", pictures in "images/"
    Odt,       // one OpenDocument text, as LibreOffice opens it
    Text,      // one plain UTF-8 text
};

// "html", "markdown", "odt", "text"; empty for any other name.
std::optional<TPageFormat> PageFormatNamed(const QString& name);

// Told how far long work has come; returns false to cancel it.
using TExchangeProgress = std::function<bool(int done, int total)>;

struct TExportRequest {
    TPageFormat Format = TPageFormat::Html;
    QString Output;            // the file written; for Markdown the folder of the notes
    bool PrivateMemo = false;  // the private memo goes out only when asked
    QString NewsTitle;         // the captions of the memos, as the window names them
    QString PrivateTitle;
    const THolidayList* Holidays = nullptr;  // for the day headings; none when null
};

struct TExportResult {
    int Pages = 0;  // days written
    // Progress cancelled: a one-file format wrote nothing; the Markdown notes (and any pictures)
    // written so far stay.
    bool Cancelled = false;
    QString Error;  // why a file could not be written; empty on success
};

// The pages of the year files in dir (ending with a separator) from the day from to the day to,
// both included, in date order. A year file that cannot be read whole adds its message to
// problems; the pages it did give are returned.
std::vector<TDataInfo> PagesBetween(const std::string& dir, int32_t from, int32_t to,
                                    QStringList& problems);

// "2024 年 5 月 15 日 (水)", followed by the names of a holiday or named day.
QString DayHeading(int32_t date, const THolidayList* holidays);

// Writes records, in their order, as request asks. Every file goes through the safe write.
TExportResult ExportPageRecords(const std::vector<TDataInfo>& records,
                                const TExportRequest& request, const TExchangeProgress& progress);
