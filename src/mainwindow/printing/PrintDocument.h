#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "storage/DataInfo.h"

class QPagedPaintDevice;
class QTextDocument;

// Told how far long work has come; returns false to cancel it.
using TPrintProgress = std::function<bool(int done, int total)>;

// The progress of one stage (0-based) of work done in stages, told to whole as a part of the
// whole work, so that one bar fills once over all stages.
TPrintProgress ProgressStage(TPrintProgress whole, int stage, int stages);

struct TPrintOptions {
    bool PrivateMemo = false;    // print the private memo too
    bool NewSheetPerDay = true;  // every day starts on a new sheet; else days flow on
};

// What a printed day shows besides its record, as the window shows it.
struct TPrintLabels {
    // The heading of a day: its date and weekday, with the old-calendar date and rokuyo when
    // the window shows them.
    std::function<QString(int32_t date)> Heading;
    QString NewsTitle;
    QString PrivateTitle;
};

// Fills document with the pages of records, in their order: the heading, the weather picture
// and name, the title, the body with its formatting, the news memo under its title and, when
// asked, the private memo under its title. False when progress cancelled.
bool BuildPrintDocument(const std::vector<TDataInfo>& records, const TPrintLabels& labels,
                        const TPrintOptions& options, QTextDocument& document,
                        const TPrintProgress& progress);

// Paints document onto device, one sheet after another, with "page / pages" in each footer.
// False when progress cancelled; the sheets painted so far stay on the device.
bool PaintPages(QTextDocument& document, QPagedPaintDevice& device, const TPrintProgress& progress);
