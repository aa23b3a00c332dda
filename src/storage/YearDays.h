#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/DataInfo.h"

// The records of a few days of a year file, read without reading the file whole: Velmora writes
// a year's days in date order, one line each, so each day is found by halving the file and
// reading a few lines around the halving points. Fields as TYearFileFields::WithoutRichText.
// A file found out of date order while halving, or one that starts with a UTF-8 byte-order
// mark, is read whole instead; a line in UTF-8 is read as such unless ownWrite says the file is
// as Velmora wrote it (TScrapList::WroteAsItIs). Never throws.
struct TYearDaysRead {
    std::vector<TDataInfo> Records;  // of the days asked for that have a line, in date order
    bool Missing = false;            // no file at path
    std::string Error;               // why the file could not be read (CP932), else empty
};
TYearDaysRead ReadYearFileDays(const std::string& path, std::vector<int32_t> dates,
                               bool ownWrite = false);
