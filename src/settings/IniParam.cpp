#include "settings/IniParam.h"

#include <algorithm>
#include <vector>

#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/StrUtils.h"
#include "storage/VelmoraError.h"

namespace {

const std::string& DefaultDateFontText() {
    static const std::string text = Sjis("\"ＭＳ Ｐゴシック\",128,$80000008,1,16,0");
    return text;
}

const std::string& DefaultTitlesText() {
    static const std::string text =
        Sjis("今日のひと言,今日の出来事,\"私的メモ　または　内緒日記\"");
    return text;
}

const std::string& DefaultTabTitlesText() {
    static const std::string text = Sjis("ひと言,出来事,私的メモ");
    return text;
}

// The first three items of a titles value, each with the escapes of the line format undone.
std::array<std::string, 3> ReadTitles(const TInitFile& file, std::string_view name,
                                      const std::string& defaultText) {
    const std::vector<std::string> items =
        SplitCommaList(file.ReadString(name, defaultText) + ",,,");
    std::array<std::string, 3> titles;
    for (size_t i = 0; i < titles.size() && i < items.size(); ++i) {
        titles[i] = DecodeText(items[i]);
    }
    return titles;
}

// The three titles as a line of the line format. A title holding a control byte is quoted as
// well, since reading splits the value at such a byte outside quotes.
std::string TitlesLine(const std::array<std::string, 3>& titles) {
    std::string line;
    for (const std::string& title : titles) {
        std::string field = EncodeField(title);
        if (!field.starts_with('"') && std::any_of(field.begin(), field.end(), [](char byte) {
                return static_cast<unsigned char>(byte) < 32;
            })) {
            field = '"' + field + '"';
        }
        line += field + ',';
    }
    return line;
}

}  // namespace

TFontDesc DefaultFont() {
    TFontDesc font;
    font.Name = Sjis("ＭＳ Ｐゴシック");
    font.Charset = 128;
    font.Color = 0x80000008;
    font.Size = 9;
    return font;
}

TInitParam::TInitParam()
    : MemoFont(DefaultFont()),
      NewsFont(DefaultFont()),
      DateFont(DefaultFont()),
      ListFont(DefaultFont()) {
    // Every setting absent: each field takes the default Load gives it.
    ReadSettings(TInitFile(""));
}

std::string TInitParam::Load(const std::string& path) {
    FileName = path;
    loadStopped_ = false;
    try {
        const TInitFile file(path);
        if (file.WasUtf8() || file.CutShort()) {
            // What was not read as it stands must not be lost at the save.
            loadStopped_ = true;
            if (file.WasUtf8()) {
                ReportReadAsUtf8(path);
            } else {
                ReportMessage(
                    FormatMessage(Sjis("ファイル %s の NUL 文字より後は読めませんでした。"
                                       "保存する前に、元のファイルを別の名前で残します。"),
                                  path));
            }
        }
        ReadSettings(file);
    } catch (const VelmoraError& error) {
        loadStopped_ = true;
        return error.what();
    }
    return {};
}

void TInitParam::ReadSettings(const TInitFile& file) {
    const std::string keywordValue = file.ReadString("KEYWORD", "0,");
    const std::vector<std::string> keyword = SplitCommaList(keywordValue + ",,");
    KeywordOn = !keyword.empty() && keyword[0] == "1";
    // The keyword is written after the switch and a comma as it is, neither quoted nor escaped,
    // so it is read back as all that follows that comma: a blank or comma in it is kept.
    const size_t comma = keywordValue.find(',');
    Keyword = comma == std::string::npos ? std::string() : keywordValue.substr(comma + 1);
    Titles = ReadTitles(file, "CUSTOMTTL", DefaultTitlesText());
    TabTitles = ReadTitles(file, "TABTITLE", DefaultTabTitlesText());
    LogDir = file.ReadString("LOGDIR");
    LastBbs = file.ReadString("LASTBBS");
    ColorInfo = file.ReadString("COLORINFO");
    DiaryColor = file.ReadString("DIARYCOLOR");
    WeatherMark = file.ReadBool("WEATHERMARK", true);
    WeatherIcon = file.ReadBool("WEATHERICON", true);
    NoDeathDays = file.ReadBool("DEATHDISP", false);
    ShowRokuyo = file.ReadBool("ROKUYO", false);
    CountedAgeBeside = file.ReadBool("KAZOEDISP", false);
    CelebrateCounted = file.ReadBool("KAZOECELEB", false);
    ShowEraDate = file.ReadBool("ERADATE", true);
    ShowSeason = file.ReadBool("SEKKI", true);
    SeasonInGrid = file.ReadBool("SEKKIGRID", true);
    ShowDayEto = file.ReadBool("DAYETO", false);
    EraYearCaption = file.ReadBool("ERAYEAR", false);
    MonthOnly = file.ReadBool("DIARYLIST", true);
    DiaryTab = file.ReadInteger("DIARYTABS", 0);
    file.ReadFont("DATEFONT", DateFont, DefaultDateFontText());
    file.ReadFont("MEMOFONT", MemoFont);
    file.ReadFont("LISTFONT", ListFont);
    file.ReadFont("NEWSFONT", NewsFont);
    file.ReadWindowInfo("WINDOWINFO", WindowRect, WindowState);
    SplitInfo = file.ReadString("SPLITINFO");
}

void TInitParam::Save() {
    if (loadStopped_ && FileExists(FileName)) {
        KeepBackup(FileName);
    }
    loadStopped_ = false;
    TInitFile file(FileName);
    file.WriteString("KEYWORD", std::string(KeywordOn ? "1" : "0") + "," + Keyword);
    file.WriteString("CUSTOMTTL", TitlesLine(Titles));
    file.WriteString("TABTITLE", TitlesLine(TabTitles));
    file.WriteFont("DATEFONT", DateFont);
    file.WriteFont("MEMOFONT", MemoFont);
    file.WriteFont("LISTFONT", ListFont);
    file.WriteFont("NEWSFONT", NewsFont);
    file.WriteWindowInfo("WINDOWINFO", WindowRect, WindowState);
    file.WriteString("SPLITINFO", SplitInfo);
    file.WriteString("COLORINFO", ColorInfo);
    file.WriteString("DIARYCOLOR", DiaryColor);
    file.WriteBool("WEATHERMARK", WeatherMark);
    file.WriteBool("WEATHERICON", WeatherIcon);
    file.WriteBool("DIARYLIST", MonthOnly);
    file.WriteInteger("DIARYTABS", DiaryTab);
    file.WriteBool("DEATHDISP", NoDeathDays);
    file.WriteBool("ROKUYO", ShowRokuyo);
    file.WriteBool("KAZOEDISP", CountedAgeBeside);
    file.WriteBool("KAZOECELEB", CelebrateCounted);
    file.WriteBool("ERADATE", ShowEraDate);
    file.WriteBool("SEKKI", ShowSeason);
    file.WriteBool("SEKKIGRID", SeasonInGrid);
    file.WriteBool("DAYETO", ShowDayEto);
    file.WriteBool("ERAYEAR", EraYearCaption);
    file.WriteString("LOGDIR", LogDir);
    file.WriteString("LASTBBS", LastBbs);
    file.Sort();
    file.UpdateFile();
}

void TInitParam::ApplyWindow(TWindowPlacement& window, int screenWidth, int screenHeight) const {
    window.State = WindowState;
    if (window.State == WindowMaximized || WindowRect.Left >= WindowRect.Right) {
        return;
    }
    // Any 32-bit values may come from the file: computed in 64 bits, the result lies on the
    // screen whenever the window fits on it.
    int64_t left = WindowRect.Left;
    int64_t top = WindowRect.Top;
    int64_t width = int64_t{WindowRect.Right} - WindowRect.Left;
    int64_t height = int64_t{WindowRect.Bottom} - WindowRect.Top;
    if (height <= 0) {
        height = screenHeight / 3;
    }
    width = std::min<int64_t>(width, INT32_MAX);
    height = std::min<int64_t>(height, INT32_MAX);
    if (left + width > screenWidth) {
        left = screenWidth - width;
    }
    left = std::max<int64_t>(left, 0);
    if (top + height > screenHeight) {
        top = screenHeight - height;
    }
    top = std::max<int64_t>(top, 0);
    const auto clamp = [](int64_t value) {
        return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
    };
    window.Bounds = {clamp(left), clamp(top), clamp(left + width), clamp(top + height)};
}

void TInitParam::StoreWindow(const TWindowPlacement& window) {
    if (window.State != WindowMaximized) {
        WindowRect = window.Bounds;
    }
    WindowState = window.State;
}
