// The help as the build places it, and the daily backup as a start of the window runs it.

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

#include "mainwindow/BackupRun.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/daypage/BodyEdit.h"
#include "mainwindow/exchange/ExchangeDialogs.h"
#include "notes/ui/DateProp.h"
#include "settings/ui/Setup.h"
#include "storage/Clock.h"
#include "storage/DayNumber.h"
#include "storage/MachineState.h"
#include "support/ScopedUnprivileged.h"
#include "support/Screenshots.h"
#include "support/WindowRun.h"
#include "support/WindowWidgets.h"
#include "widgets/WeatherIcons.h"

namespace {

const QString kHelp = QStringLiteral(VELMORA_BIN_DIR "/Velmora.html");

QStringList Captures(const QString& text, const QString& pattern) {
    QStringList found;
    auto it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(1);
    return found;
}

// A caption as the user reads it: without its accelerator, its "..." and a closing colon.
QString Caption(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(QLatin1Char('&'));
    for (const QString& tail : {u"..."_qs, u":"_qs, u"："_qs})
        if (text.endsWith(tail))
            text.chop(tail.size());
    return text.trimmed();
}

}  // namespace

class HelpAndBackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetTodayForTesting(EncodeDate(2026, 5, 5)); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void HelpLinksAndPicturesResolve() {
        QFile file(kHelp);
        QVERIFY2(file.open(QIODevice::ReadOnly), "the build did not place Velmora.html");
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QStringLiteral("lang=\"ja\"")));
        const QStringList ids = Captures(html, QStringLiteral("\\bid=\"([^\"]+)\""));
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
        const QStringList links = Captures(html, QStringLiteral("\\bhref=\"([^\"]+)\""));
        const QStringList pictures = Captures(html, QStringLiteral("\\bsrc=\"([^\"]+)\""));
        QVERIFY(links.size() >= 12);
        QVERIFY(pictures.size() >= 3);
        for (const QString& link : links) {
            QVERIFY2(link.startsWith(QLatin1Char('#')), qPrintable(link));
            QVERIFY2(ids.contains(link.mid(1)), qPrintable(link));
        }
        for (const QString& picture : pictures) {
            const QString path = QFileInfo(kHelp).dir().filePath(picture);
            QVERIFY2(!QImage(path).isNull(), qPrintable(picture));
        }
        // Every topic the help promises in its contents is there.
        for (const char* topic : {"window", "page", "weather", "calendar", "lists", "notes",
                                  "repeat", "options", "input", "files", "backup", "trouble"})
            QVERIFY2(ids.contains(QLatin1String(topic)), topic);
    }

    // Every caption the help names (marked class="ui") is one the program shows: a menu
    // command, a tab, a button, a label or a weather, as the user sees it without its
    // accelerator "(&S)" or its "...". So the help cannot drift from the program unnoticed.
    void HelpNamesOnlyCaptionsTheProgramShows() {
        QFile file(kHelp);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY2(!html.contains(u"(&amp;"_qs), "an accelerator written out in the help");
        QStringList named = Captures(html, QStringLiteral("class=\"ui\">([^<]+)<"));
        QVERIFY(named.size() >= 20);

        TWindowRun run;
        TForm1& form = run.Start();
        TSetupForm options;
        TTodoMemo note;
        const auto nothing = [](auto&&...) { return TExchangePreview(); };
        TExportDialog exporting(QDate(2026, 1, 1), QDate(2026, 12, 31), nothing);
        TImportDialog importing(nothing);
        QSet<QString> shown;
        for (const QWidget* root : {static_cast<QWidget*>(&form), static_cast<QWidget*>(&options),
                                    static_cast<QWidget*>(&note), static_cast<QWidget*>(&exporting),
                                    static_cast<QWidget*>(&importing)}) {
            for (const QAction* action : root->findChildren<QAction*>())
                shown << Caption(action->text());
            for (const QMenu* menu : root->findChildren<QMenu*>())
                shown << Caption(menu->title());
            for (const QTabBar* tabs : root->findChildren<QTabBar*>())
                for (int i = 0; i < tabs->count(); ++i)
                    shown << Caption(tabs->tabText(i));
            for (const QAbstractButton* button : root->findChildren<QAbstractButton*>())
                shown << Caption(button->text());
            for (const QLabel* label : root->findChildren<QLabel*>())
                shown << Caption(label->text());
            for (const QGroupBox* group : root->findChildren<QGroupBox*>())
                shown << Caption(group->title());
            for (const QComboBox* choices : root->findChildren<QComboBox*>())
                for (int i = 0; i < choices->count(); ++i)
                    shown << Caption(choices->itemText(i));
        }
        for (int i = 0; i < WeatherCount(); ++i)
            shown << WeatherName(i);
        for (const QString& caption : named) {
            // The help's own entities; a parse of the HTML would fold the full-width blanks.
            const QString text = QString(caption)
                                     .replace(u"&lt;"_qs, u"<"_qs)
                                     .replace(u"&gt;"_qs, u">"_qs)
                                     .replace(u"&amp;"_qs, u"&"_qs);
            QVERIFY2(shown.contains(text), qPrintable(text));
        }
    }

    void HelpCommandOpensTheHelpWindow_data() {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<bool>("installed");
        QTest::newRow("menu") << false << false;
        QTest::newRow("F1") << true << false;
        QTest::newRow("installed: the help in the share folder, not the diary's") << false << true;
    }
    void HelpCommandOpensTheHelpWindow() {
        QFETCH(bool, byKey);
        QFETCH(bool, installed);
        TWindowRun run;
        QTemporaryDir share;
        const QDir helpFolder(installed ? share.path() : run.Folder());
        const QString helpFile = helpFolder.filePath(QStringLiteral("Velmora.html"));
        QVERIFY(QFile::copy(kHelp, helpFile));
        const QString pictures = QStringLiteral(VELMORA_BIN_DIR "/Velmora-help");
        QVERIFY(helpFolder.mkpath(QStringLiteral("Velmora-help")));
        for (const QString& name : QDir(pictures).entryList(QDir::Files))
            QVERIFY(QFile::copy(pictures + QLatin1Char('/') + name,
                                helpFolder.filePath(QStringLiteral("Velmora-help/") + name)));
        TForm1& form = run.Start(installed ? helpFile : QString());
        // Relative links of a page lead into the diary folder, not to the program's.
        const TBodyEdit* body = form.findChild<TBodyEdit*>();
        QVERIFY(body);
        QCOMPARE(body->LinkFolder, QUrl::fromLocalFile(run.Folder() + QLatin1Char('/')));
        QAction* help = form.Actions().HelpAction;
        QCOMPARE(help->text(), QStringLiteral("ヘルプ目次(&C)"));
        QVERIFY(help->isEnabled());
        if (byKey) {
            // Pressed where the user is: in the page's editor, which has the focus at start.
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QVERIFY(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        } else
            help->trigger();
        QTextBrowser* browser = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("HelpWindow") && top->isVisible())
                browser = top->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
        QVERIFY(browser);
        QCOMPARE(browser->source(), QUrl::fromLocalFile(helpFile));
        QCOMPARE(browser->window()->windowTitle(), QStringLiteral("Velmora ヘルプ"));
        // The pictures beside the help show in it.
        QVERIFY(!browser
                     ->loadResource(QTextDocument::ImageResource,
                                    QUrl(QStringLiteral("Velmora-help/window.png")))
                     .isNull());
        QVERIFY(run.Messages.isEmpty());
        QVERIFY(SavePng(browser->window(), QStringLiteral("help-window.png")));
    }

    void HelpCommandWithoutTheFileSaysWhereItLooked() {
        TWindowRun run;
        TForm1& form = run.Start();
        QAction* help = form.Actions().HelpAction;
        QVERIFY(help->isEnabled());
        help->trigger();
        QCOMPARE(run.Messages.size(), 1);
        QVERIFY2(run.Messages[0].contains(run.Path(QStringLiteral("Velmora.html"))),
                 qPrintable(run.Messages[0]));
        // Put in place while the program runs, it is shown.
        QVERIFY(QFile::copy(kHelp, run.Path(QStringLiteral("Velmora.html"))));
        help->trigger();
        QCOMPARE(run.Messages.size(), 1);
    }

    void StartBacksUpAfterTheWindowIsShown() {
        TWindowRun run;
        run.Put(QStringLiteral("2025.dat"), "2025 pages\r\n");
        run.Put(QStringLiteral("Velmora.tdo"), "");
        run.Start();
        const QString own =
            run.Path(QStringLiteral("backup/") + QString::fromStdString(HostFolderName()));
        const QString today = own + QStringLiteral("/2026-05-05");
        // The copies are made one after another beside the window's work.
        QTRY_VERIFY(QFileInfo::exists(today + QStringLiteral("/2025.dat")));
        QTRY_VERIFY(QFileInfo::exists(today + QStringLiteral("/Velmora.tdo")));
        QVERIFY(run.Messages.isEmpty());
        run.Stop();
        // The settings the first run wrote at its end are new: the next start copies them,
        // and nothing else.
        run.Start();
        QTRY_VERIFY(QFileInfo::exists(today + QStringLiteral("/Velmora.ini")));
        QCOMPARE(QDir(own).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("2026-05-05")});
    }

    // The copies and the font list wait for the window's first frame; a window closed before
    // it still leaves the day's copies.
    void StartWorkWaitsForTheFirstFrame_data() {
        QTest::addColumn<bool>("shown");
        QTest::newRow("shown") << true;
        QTest::newRow("closed before its first frame") << false;
    }
    void StartWorkWaitsForTheFirstFrame() {
        QFETCH(bool, shown);
        TWindowRun run;
        run.Put(QStringLiteral("2025.dat"), "2025 pages\r\n");
        const QString copy = run.Path(QStringLiteral("backup/%1/2026-05-05/2025.dat")
                                          .arg(QString::fromStdString(HostFolderName())));
        TForm1& form = run.Build();
        QSignalSpy firstFrame(&form, &TForm1::FirstFrameShown);
        QTest::qWait(50);
        QVERIFY(!QFileInfo::exists(copy));
        if (shown) {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QTRY_VERIFY(QFileInfo::exists(copy));
            QCOMPARE(firstFrame.count(), 1);
        }
        QVERIFY(run.Stop());
        QCOMPARE(firstFrame.count(), shown ? 1 : 0);
        QVERIFY(QFileInfo::exists(copy));
    }

    // A first start of the day copies years of pages while the window is already in use; a
    // close in the middle waits for the copies, so each is whole and none is left half made.
    void CloseWhileCopyingLeavesOnlyWholeCopies() {
        TWindowRun run;
        QStringList years;
        for (int year = 2016; year <= 2025; ++year) {
            years << QStringLiteral("%1.dat").arg(year);
            run.Put(years.back(), std::string(3 * 1024 * 1024, static_cast<char>('a' + year % 26)));
        }
        run.Start();
        QVERIFY(run.Stop());
        const QString day =
            QStringLiteral("backup/%1/2026-05-05/").arg(QString::fromStdString(HostFolderName()));
        QCOMPARE(QDir(run.Path(day)).entryList(QDir::Files | QDir::Hidden, QDir::Name), years);
        for (const QString& year : years)
            QVERIFY2(run.Read(day + year) == run.Read(year), qPrintable(year));
        QVERIFY(run.Messages.isEmpty());
    }

    void ReadOnlyBackupFolderIsReportedAndTheWindowComesUp() {
        TWindowRun run;
        // The copies are made on a thread of their own; their message is shown on the window's.
        bool shownOffTheWindowsThread = false;
        SetUserMessageHook([&run, &shownOffTheWindowsThread](const QString& text) {
            shownOffTheWindowsThread |= QThread::currentThread() != qApp->thread();
            run.Messages << text;
        });
        run.Put(QStringLiteral("2025.dat"), "2025 pages\r\n");
        const QString backup = run.Path(QStringLiteral("backup"));
        QVERIFY(QDir().mkpath(backup));
        const std::string backupPath = QFile::encodeName(backup).toStdString();
        QVERIFY(::chmod(backupPath.c_str(), 0555) == 0);
        {
            // The diary's folder is the user's; only the backup folder refuses files.
            ScopedUnprivileged asUser(QFile::encodeName(run.Folder()).toStdString());
            TForm1& form = run.Start();
            QTRY_COMPARE(run.Messages.size(), 1);
            QVERIFY(form.isVisible());
            QVERIFY2(run.Messages[0].contains(backup), qPrintable(run.Messages[0]));
            QVERIFY(!shownOffTheWindowsThread);
            // Reported once: a later save or move of the day brings no second message.
            TypeText(Widgets(form).DiaryMemo, QStringLiteral("書ける"));
            form.DataSaveClick();
            QCOMPARE(run.Messages.size(), 1);
            QVERIFY(run.Stop());
        }
        QVERIFY(::chmod(backupPath.c_str(), 0755) == 0);
        QVERIFY(run.Read(QStringLiteral("2026.dat")).find("\x8f\x91") != std::string::npos);
    }
};

QTEST_MAIN(HelpAndBackupTest)
#include "HelpAndBackupTest.moc"
