#include "storage/DataInfo.h"

#include <gtest/gtest.h>

#include "storage/Cp932.h"

namespace {

TEST(FieldText, Letters) {
    TDataInfo rec;
    rec.Date = 37622;
    rec.Title = std::string(40, 't');
    rec.Text = " body\r\nsecond ";
    rec.Private = std::string(23, 'p') + "\x95\x5C" + "tail";
    rec.News = "\tnews\t";
    rec.Extra = "  extra \r\n";
    rec.Weather = 5;
    struct Case {
        char letter;
        std::string expected;
        const char* why;
    };
    const Case cases[] = {
        {'P', std::string(24, 't') + "...", "title cut to 24 bytes and marked"},
        {'C', "body\x81\xF7second", "line break shown as the pilcrow, blanks trimmed"},
        {'M', std::string(23, 'p') + "\x95\x5C...", "double-byte char across the limit kept whole"},
        {'N', "news", "control characters trimmed"},
        {'R', "extra", "Extra whole, trimmed"},
        {'W', "5", "weather in decimal"},
        {'X', "", "unknown letter"},
        {'p', "", "letters are upper case"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FieldText(c.letter, rec), c.expected) << c.why;
    }
    EXPECT_EQ(FieldText('W', EmptyDataInfo), "-1");
    EXPECT_EQ(FieldText('P', EmptyDataInfo), "");
}

TEST(EventMask, Sums) {
    TDataInfo titleAndSun;
    titleAndSun.Date = 37622;
    titleAndSun.Title = "t";
    titleAndSun.Weather = 0;
    TDataInfo everything = titleAndSun;
    everything.Text = std::string(1, 'x');
    for (std::string* text : {&everything.News, &everything.Private, &everything.Extra}) {
        text->assign(1, 'x');
    }
    TDataInfo noWeather = titleAndSun;
    noWeather.Weather = -1;
    TDataInfo undated = everything;
    undated.Date = 0;
    TDataInfo pictureOnly;
    pictureOnly.Date = 37622;
    pictureOnly.RichText = "{\\rtf1{\\pict 01}}";
    pictureOnly.Weather = -1;

    EXPECT_EQ(EventMask(titleAndSun), 4 + 16);
    EXPECT_EQ(EventMask(everything), 1 + 2 + 4 + 8 + 16 + 32);
    EXPECT_EQ(EventMask(noWeather), 4);
    EXPECT_EQ(EventMask(pictureOnly), 1) << "a body with no text is still a body";
    EXPECT_EQ(EventMask(undated), 0) << "Date 0 marks nothing";
    EXPECT_EQ(EventMask(EmptyDataInfo), 0);
}

TEST(HoldsPage, WhatKeepsADay) {
    struct Case {
        const char* title;
        const char* text;
        const char* richText;
        int weather;
        bool page;     // HoldsPage
        bool writing;  // HoldsWriting
        const char* why;
    };
    const Case cases[] = {
        {"", "", "", -1, false, false, "nothing at all"},
        {" \t", "\r\n", "", WeatherUnknown, false, false, "blanks, and \"不明\" is no weather"},
        {"", "", "", 7, true, false, "a weather alone keeps the day"},
        {"", "", "", 0, true, false, "weather 0 is \"晴れ\""},
        {"", "", "", 33, false, false, "past the weathers"},
        {" t ", "", "", -1, true, true, "a title"},
        {"", "", "{\\rtf1{\\pict 01}}", -1, true, true, "a body of a picture, no text"},
        {"", "\x81\x40", "\x81\x40", -1, true, true, "the ideographic space is a character"},
    };
    for (const Case& c : cases) {
        TDataInfo rec;
        rec.Date = 37622;
        rec.Title = c.title;
        rec.Text = c.text;
        rec.RichText = c.richText;
        rec.Weather = c.weather;
        EXPECT_EQ(HoldsPage(rec), c.page) << c.why;
        EXPECT_EQ(HoldsWriting(rec), c.writing) << c.why;
    }
}

}  // namespace
