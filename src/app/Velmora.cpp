#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include "app/CommandLine.h"
#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/QuitSignals.h"
#include "mainwindow/SingleInstance.h"
#include "mainwindow/UserMessage.h"
#include "settings/IniParam.h"
#include "storage/DailyBackup.h"
#include "storage/VelmoraError.h"
#include "sync/ConflictCopies.h"
#include "sync/PendingConflicts.h"
#include "widgets/ProgramIcon.h"
#include "widgets/ToolBarStyle.h"

namespace {

// How long the end of a session may take before the process ends regardless.
constexpr unsigned kSecondsToEnd = 10;

}  // namespace

// The diary lies beside a portable executable, else in ~/.local/share/Velmora, or in the folder
// named by --folder. With other options it exports or imports without a window (and without a
// display).
int main(int argc, char* argv[]) {
    if (HasOptions(argc, argv))
        return RunCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(new TToolBarStyle);
    // From the first moment, a logout, a shutdown or a terminate request ends the program, also
    // while a box is open: what can be written is written (or rescued), no box is shown any
    // more, and every event loop is left. Should anything still hold the process, it ends
    // after a few seconds all the same.
    TQuitSignals quitSignals;
    TForm1* window = nullptr;
    bool ending = false;
    const auto endSession = [&window, &ending] {
        if (ending)
            return;
        ending = true;
        EndUserMessages();
        ::alarm(kSecondsToEnd);
        if (window)
            window->EndSession();
        QCoreApplication::exit(0);
    };
    QObject::connect(&quitSignals, &TQuitSignals::Received, &app, endSession);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, endSession);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    InstallFontSubstitutes();
    // The window's face for every widget, boxes and menus too: a widget measured before it joins
    // the window would otherwise load the desktop's Latin face and search its fallbacks for the
    // Japanese text first, which made up a tenth of the start.
    QApplication::setFont(DesignFont(kPGothicFace, 12));
    // The window speaks Japanese throughout; Qt's own texts (message box buttons, the editors'
    // context menus) follow it when their translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QString chosenFolder;
    if (const QString problem = ReadWindowOptions(chosenFolder); !problem.isEmpty()) {
        QTextStream(stderr) << problem << Qt::endl;
        ShowUserMessage(nullptr, problem);
        return 2;
    }
    const TPlaces places = DiaryPlaces(chosenFolder);
    if (!PrepareDiaryFolder(places, chosenFolder.isEmpty())) {
        ShowUserMessage(nullptr, places.DiaryFolder.empty()
                                     ? QStringLiteral("日記のフォルダが決まりません（環境変数 HOME "
                                                      "がありません）。")
                                     : QStringLiteral("日記のフォルダ %1 を作れません。")
                                           .arg(QFile::decodeName(places.DiaryFolder.c_str())));
        return 1;
    }
    const QString folder = QFile::decodeName(places.DiaryFolder.c_str());
    // The window names the diary's files after this path in the diary folder.
    const QString diaryPath =
        folder + QLatin1Char('/') + QFile::decodeName(places.BaseName.c_str());
    TSingleInstance instance(folder);
    const TSingleInstance::TStart start = instance.Start();
    switch (start) {
        case TSingleInstance::TStart::Other:
            return 0;
        case TSingleInstance::TStart::OtherSilent:
        case TSingleInstance::TStart::Blocked:
            ShowUserMessage(nullptr, instance.Refusal());
            return 1;
        case TSingleInstance::TStart::Holder:
        case TSingleInstance::TStart::Unlockable:
            break;
    }

    // Conflict copies a sync service left beside the diary's files are taken in before anything
    // reads those files; what was done is said once the window is up.
    std::string conflictCopies;
    if (start == TSingleInstance::TStart::Holder) {
        const std::string dir = QFile::encodeName(folder).toStdString();
        const TConflictCopiesOutcome outcome =
            MergeConflictCopies(dir, places.BaseName, StateFolder(dir));
        // What both sides changed differently waits in the state folder for the user's choice.
        KeepCopyConflicts(StateFolder(dir), outcome);
        conflictCopies = outcome.Message;
    }

    // The settings record outlives the window: it is written once the window has closed.
    TInitParam params;
    int result = 0;
    {
        TForm1 form(params, diaryPath, QFile::decodeName(places.HelpFile.c_str()));
        // What saves of an earlier run left when they were cut short; run once the window can
        // say what it moved aside.
        if (start == TSingleInstance::TStart::Holder)
            TidyTemporaries(QFile::encodeName(folder).toStdString(), places.BaseName);
        QObject::connect(&instance, &TSingleInstance::ShowRequested, &form,
                         &TForm1::ShowFromOtherStart);
        if (ending) {
            // The session ended while the window was being built: it is not shown.
            form.EndSession();
        } else {
            window = &form;
            // The program's icon waits for the window's first frame (a box shown before then
            // sets it itself).
            QObject::connect(&form, &TForm1::FirstFrameShown, &app, &UseProgramIcon);
            // What building the window freed (the year file's reading) goes back to the system.
            ::malloc_trim(0);
            form.show();
            if (!conflictCopies.empty())
                QTimer::singleShot(0, &form, [&form, &conflictCopies] {
                    ShowUserMessage(&form, FromCp932(conflictCopies));
                });
            result = QApplication::exec();
            window = nullptr;
        }
    }
    try {
        params.Save();
    } catch (const VelmoraError& e) {
        ShowUserMessage(nullptr, FromCp932(e.what()));
    }
    return result;
}
