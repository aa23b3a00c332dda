// Reads arbitrary bytes as the settings file, saves the settings and reads them again: every
// setting must come back as loaded, and a second save must write the same bytes.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "settings/IniParam.h"

namespace {

bool SameFont(const TFontDesc& a, const TFontDesc& b) {
    return a.Name == b.Name && a.Charset == b.Charset && a.Color == b.Color && a.Style == b.Style &&
           a.Size == b.Size && a.Pitch == b.Pitch;
}

bool SameSettings(const TInitParam& a, const TInitParam& b) {
    return a.WindowRect.Left == b.WindowRect.Left && a.WindowRect.Top == b.WindowRect.Top &&
           a.WindowRect.Right == b.WindowRect.Right && a.WindowRect.Bottom == b.WindowRect.Bottom &&
           a.WindowState == b.WindowState && a.SplitInfo == b.SplitInfo &&
           a.ColorInfo == b.ColorInfo && a.DiaryColor == b.DiaryColor && a.LogDir == b.LogDir &&
           a.LastBbs == b.LastBbs && SameFont(a.MemoFont, b.MemoFont) &&
           SameFont(a.NewsFont, b.NewsFont) && SameFont(a.DateFont, b.DateFont) &&
           SameFont(a.ListFont, b.ListFont) && a.WeatherMark == b.WeatherMark &&
           a.WeatherIcon == b.WeatherIcon && a.KeywordOn == b.KeywordOn && a.Keyword == b.Keyword &&
           a.MonthOnly == b.MonthOnly && a.DiaryTab == b.DiaryTab &&
           a.NoDeathDays == b.NoDeathDays && a.ShowRokuyo == b.ShowRokuyo && a.Titles == b.Titles &&
           a.TabTitles == b.TabTitles;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzFolder("settings");
    EmptyFolder(folder);
    const std::string path = folder + "Velmora.ini";
    SafeWriteFile(path, Bytes(data, size));

    TInitParam first;
    first.Load(path);
    TWindowPlacement window;
    first.ApplyWindow(window, 1920, 1080);
    first.Save();
    const std::string saved = ReadBack(path);
    TInitParam second;
    const std::string error = second.Load(path);
    if (ReadsAsUtf8(saved)) {
        return 0;
    }
    if (!error.empty()) {
        RoundTripDiffers("a value written does not read", saved);
    }
    if (!SameSettings(first, second)) {
        RoundTripDiffers("a setting", saved);
    }
    second.Save();
    if (ReadBack(path) != saved) {
        RoundTripDiffers("second save", saved);
    }
    return 0;
}
