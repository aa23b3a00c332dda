#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "mainwindow/MainForm.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/UserMessage.h"
#include "settings/IniParam.h"
#include "storage/VelmoraError.h"
#include "widgets/TextCodec.h"

// Every file the program reads and writes lies beside its executable; it takes no command line.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    InstallFontSubstitutes();
    // The window speaks Japanese throughout; Qt's own texts (message box buttons, the editors'
    // context menus) follow it when their translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // The settings record outlives the window: it is written once the window has closed.
    TInitParam params;
    int result = 0;
    {
        TForm1 form(params, QCoreApplication::applicationFilePath());
        form.show();
        result = QApplication::exec();
    }
    try {
        params.Save();
    } catch (const VelmoraError& e) {
        ShowUserMessage(nullptr, FromCp932(e.what()));
    }
    return result;
}
