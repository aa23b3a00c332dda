// Draws the pictures of the help (the window, its calendar and the about box) offscreen, on a
// small sample diary, so that the help always shows the program as it is built.
// Usage: velmora_help_pictures HOLIDAY_FILE OUTPUT_FOLDER

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

#include "bridge/Fonts.h"
#include "controls/Diary.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/UserMessage.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DataInfo.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"
#include "widgets/AboutBox.h"
#include "widgets/ProgramIcon.h"

namespace {

void SavePicture(QWidget* widget, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    widget->grab().save(&buffer, "PNG");
    SafeWriteFile(QFile::encodeName(path).toStdString(), png.toStdString());
}

// A few days of the first week of May 2026, with titles, memos and weather marks.
void WriteSampleDiary(const QString& folder) {
    struct Page {
        int day;
        const char* title;
        const char* text;
        const char* news;
        int weather;
    };
    const Page pages[] = {
        {1, "新緑の散歩", "川沿いを歩いた。若葉がまぶしい。", "", 0},
        {3, "憲法記念日", "家族で買い物。夕方から雨。", "図書館 休館", 2},
        {5, "こどもの日、公園へ", "柏餅を食べて、公園で凧あげをした。風が強くてよく上がった。",
         "菖蒲湯", 0},
    };
    TScrapList store;
    store.LoadFromFile(QFile::encodeName(folder + QStringLiteral("/2026.dat")).toStdString());
    for (const Page& page : pages) {
        TDataInfo rec;
        rec.Date = EncodeDate(2026, 5, page.day);
        rec.Title = Sjis(page.title);
        rec.Text = Sjis(page.text);
        rec.News = Sjis(page.news);
        rec.Weather = page.weather;
        store.PutRecord(rec);
    }
    store.SaveToFile();
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: velmora_help_pictures HOLIDAY_FILE OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setWindowIcon(ProgramIcon());
    InstallFontSubstitutes();
    const QString output = QString::fromLocal8Bit(argv[2]);
    try {
        QTemporaryDir folder;
        std::string holidays;
        ReadWholeFile(argv[1], holidays);
        SafeWriteFile(
            QFile::encodeName(folder.filePath(QStringLiteral("Velmora.hol"))).toStdString(),
            holidays);
        WriteSampleDiary(folder.path());
        SetTodayForTesting(EncodeDate(2026, 5, 5));
        SetUserMessageHook([](const QString&) {});
        QDir().mkpath(output);

        TInitParam params;
        TForm1 form(params, folder.filePath(QStringLiteral("Velmora")));
        form.resize(960, 680);
        form.show();
        QApplication::processEvents();
        SavePicture(&form, output + QStringLiteral("/window.png"));
        SavePicture(&form.Diary1(), output + QStringLiteral("/calendar.png"));
        const auto about = form.About().CreateForm(&form);
        about->show();
        QApplication::processEvents();
        SavePicture(about.get(), output + QStringLiteral("/about.png"));
    } catch (const VelmoraError& e) {
        std::fprintf(stderr, "velmora_help_pictures: %s\n", Cp932ToUtf8(e.what()).c_str());
        return 1;
    }
    return 0;
}
