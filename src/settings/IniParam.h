#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/IniFile.h"

// A window's placement as the settings keep it; the main window converts it.
struct TWindowPlacement {
    TWindowRect Bounds;
    uint8_t State = WindowNormal;  // WindowNormal, WindowMinimized or WindowMaximized
};

// The font every font setting starts from: "ＭＳ Ｐゴシック" 9 points, Shift-JIS, window-text
// colour, regular.
TFontDesc DefaultFont();

// The program's settings, read from the settings file once at start-up and written back once
// at the end. Fields start at their defaults; texts are CP932.
class TInitParam {
public:
    TInitParam();

    // Reads every setting from the file at path (a missing file leaves the defaults). A value
    // that is not an integer where one is needed stops the reading there, so that setting and
    // the ones after it keep their defaults; the error message is returned ("" when everything
    // was read) so the window can show it and still come up.
    std::string Load(const std::string& path);
    // Writes every setting into the file at FileName, keeping lines it does not know, sorted.
    // When Load stopped early the file as found is kept beside it first (KeepBackup), since the
    // settings it did not read are now overwritten by defaults. Throws VelmoraError
    // "ファイル %s を作成できません" when the file cannot be written; it then stays as it was.
    void Save();

    // Restores the saved state and, unless maximised or nothing was saved, the saved bounds,
    // kept inside a screen of the given size.
    void ApplyWindow(TWindowPlacement& window, int screenWidth, int screenHeight) const;
    // Captures the state, and the bounds unless the window is maximised.
    void StoreWindow(const TWindowPlacement& window);

    std::string FileName;
    TWindowRect WindowRect;              // "WINDOWINFO"
    uint8_t WindowState = WindowNormal;  // "WINDOWINFO"
    std::string SplitInfo;               // "SPLITINFO"
    std::string ColorInfo;               // "COLORINFO"
    std::string DiaryColor;              // "DIARYCOLOR"
    std::string LogDir;                  // "LOGDIR"
    std::string LastBbs;                 // "LASTBBS"
    TFontDesc MemoFont;                  // "MEMOFONT"
    TFontDesc NewsFont;                  // "NEWSFONT"
    TFontDesc DateFont;                  // "DATEFONT"
    TFontDesc ListFont;                  // "LISTFONT"
    bool WeatherMark = true;             // "WEATHERMARK"
    bool WeatherIcon = true;             // "WEATHERICON"
    bool KeywordOn = false;              // "KEYWORD", first item
    std::string Keyword;                 // "KEYWORD", all after the first comma
    bool MonthOnly = true;               // "DIARYLIST"
    int32_t DiaryTab = 0;                // "DIARYTABS"
    bool NoDeathDays = false;            // "DEATHDISP"
    bool ShowRokuyo = false;             // "ROKUYO"
    bool ShowEraDate = true;             // "ERADATE", with the year's 干支
    bool ShowSeason = true;              // "SEKKI", in the date header
    bool SeasonInGrid = true;            // "SEKKIGRID"
    bool ShowDayEto = false;             // "DAYETO"
    bool EraYearCaption = false;         // "ERAYEAR"
    bool CountedAgeBeside = false;       // "KAZOEDISP": 数え年 beside the age
    bool CelebrateCounted = false;  // "KAZOECELEB": 長寿祝い and 享年 by 数え年, not 満
    std::array<std::string, 3> Titles;     // "CUSTOMTTL": title, news memo, private memo
    std::array<std::string, 3> TabTitles;  // "TABTITLE": the diary list tabs, same order

private:
    void ReadSettings(const TInitFile& file);

    bool loadStopped_ = false;
};
