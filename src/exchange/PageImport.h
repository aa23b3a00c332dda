#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "exchange/PageExport.h"
#include "storage/DataInfo.h"

class TScrapList;

// Where pages come in from.
enum class TImportSource {
    RedNotebook,  // RedNotebook's data folder: month files "2024-05.txt" in YAML
    Markdown,     // a folder of daily notes "2024-05-15.md" or ".txt", Velmora's export among them
};

// "rednotebook", "markdown"; empty for any other name.
std::optional<TImportSource> ImportSourceNamed(const QString& name);

// The pages a source holds, one per day in date order, and a message for each file that could
// not be read. Files that are not named as the source names its days are passed over.
struct TImportRead {
    std::vector<TDataInfo> Pages;
    QStringList Problems;
    bool Cancelled = false;
};
TImportRead ReadImportSource(TImportSource source, const QString& folder,
                             const TExchangeProgress& progress);

// What an import will do to the diary in dir, worked out in full before anything is written.
struct TImportPlan {
    // Each year touched, with all its records as they are to be written.
    std::map<int, std::vector<TDataInfo>> Years;
    int New = 0;           // days that had no page
    int Appended = 0;      // days whose page gets the imported text under a divider
    int Unchanged = 0;     // days whose page already is the imported one
    QStringList Problems;  // year files that cannot be read whole: nothing may be written
};

// Plans putting pages into the diary in dir (ending with a separator). The year open in store,
// when given, is taken from it; every other year from its file.
TImportPlan PlanImport(const std::string& dir, const std::vector<TDataInfo>& pages,
                       const TScrapList* store);

// existing with imported appended: the body, news, private memo and further text (Extra) under a
// divider, the title and weather where existing has none.
TDataInfo AppendPage(const TDataInfo& existing, const TDataInfo& imported);

// Writes a plan without problems: the diary's files are backed up first (BackUpDiary, and a
// ".bak" copy of each year file to be written), then each year is written, the store's year
// through the store. When a write fails, the years written before it are put back. Returns the
// message of the failure; empty on success.
QString WriteImport(const std::string& dir, const std::string& baseName, const TImportPlan& plan,
                    TScrapList* store);
