#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "storage/DataInfo.h"
#include "storage/SafeWrite.h"
#include "support/TestFolder.h"

// A fresh folder for the year files of one test, and the messages the store reports meanwhile.
class StoreFolder : public TTestFolder, public TRecordedMessages {};

// Failures print records field by field, texts cut short.
inline void PrintTo(const TDataInfo& rec, std::ostream* os) {
    const auto text = [os](const char* name, const std::string& s) {
        *os << ", " << name << " \"" << std::string_view(s).substr(0, 40) << '"';
    };
    *os << "{Date " << rec.Date << ", Weather " << rec.Weather;
    text("Title", rec.Title);
    text("Text", rec.Text.Text());
    text("RichText", rec.RichText.Text());
    text("Private", rec.Private);
    text("News", rec.News);
    text("Extra", rec.Extra);
    *os << "}";
}
