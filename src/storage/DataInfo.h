#pragma once

#include <cstdint>
#include <string>

#include "storage/LazyText.h"

// The record of one diary day. Texts are CP932 and may hold CR LF line breaks.
struct TDataInfo {
    int32_t Date = 0;      // day number; 0 means the record is empty
    int32_t Reserved = 0;  // always 0; not stored in the year file
    std::string Title;     // the one-line title of the day
    TLazyText Text;        // the body as plain text
    TLazyText RichText;    // the body as an RTF document; empty when Text is empty
    std::string Private;   // the private memo
    std::string News;      // the news and events memo
    int32_t Weather = 0;   // weather mark 0..32; negative for none
    std::string Extra;     // one further text, kept with the record but not edited by the page

    bool operator==(const TDataInfo&) const = default;
};

// Stands for a day without a record: Date 0, every text empty, Weather -1.
extern const TDataInfo EmptyDataInfo;

// "不明", the last of the 33 weathers: what the page shows and stores for a day without a weather
// mark. Only 0..31 mark a weather.
constexpr int WeatherUnknown = 32;

// Whether rec holds a page worth its record: a text with more than blanks and control
// characters, a body that holds what is no text (a picture, say), or a weather mark. A record
// with empty texts is read by every version of the year file, so a weather alone is kept.
bool HoldsPage(const TDataInfo& rec);

// Whether one of rec's texts holds more than blanks and control characters, or its body holds
// what is no text: what a user would lose by deleting the page.
bool HoldsWriting(const TDataInfo& rec);

// One field of rec for a list cell, chosen by letter: 'C' Text, 'M' Private, 'N' News, 'P' Title
// (each cut to 24 bytes by TruncateText), 'R' Extra whole, 'W' Weather in decimal; any other
// letter gives "". Blanks and control characters are trimmed at both ends.
std::string FieldText(char letter, const TDataInfo& rec);

// The calendar's marks for rec: 0 when its Date is 0, otherwise the sum of 1 (Text), 2 (News),
// 4 (Title), 8 (Private) for each text that is not empty (the body counts its rich text too), 16
// when Weather is 0 or more and 32 when Extra is not empty.
int EventMask(const TDataInfo& rec);
