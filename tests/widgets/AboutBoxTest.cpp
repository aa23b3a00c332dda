#include "support/Screenshots.h"
#include "widgets/AboutBox.h"
#include "widgets/ActionList.h"
#include "widgets/BevLabel.h"
#include "widgets/HtmlHelp.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class AboutBoxTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ShortAndLongVersion_data() {
        QTest::addColumn<QString>("fileVersion");
        QTest::addColumn<QString>("shortVersion");
        QTest::addColumn<QString>("versionText");
        // Worked examples of the about box's version line.
        QTest::newRow("four numbers") << "2.1.3.45"
                                      << "2.1.3"
                                      << "Velmora\nVersion. 2.1.3 (Build 45)";
        QTest::newRow("no dot") << "7"
                                << "7"
                                << "Velmora\nVersion (Build  7)";
        QTest::newRow("no record") << ""
                                   << ""
                                   << "Velmora\nVersion (Build  )";
    }
    void ShortAndLongVersion() {
        QFETCH(QString, fileVersion);
        QFETCH(QString, shortVersion);
        QFETCH(QString, versionText);
        TAboutDialog about;
        about.FileVersion = fileVersion;
        QCOMPARE(about.ShortVersion(), shortVersion);
        QCOMPARE(about.VersionText(), versionText);
    }

    void ReadsOnlyEmptyStrings() {
        TAboutDialog about;
        QCOMPARE(about.ProductName, QStringLiteral("Velmora"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(about.FileVersion)
                    .hasMatch());
        QVERIFY(about.Comments.contains(QStringLiteral("\r\n")));
        QVERIFY(!about.Comments.contains(QStringLiteral("\\n")));

        TVersionRecord record;
        record.ProductName = QStringLiteral("Other");
        record.LegalTradeMarks = QStringLiteral("TM");
        record.Comments = QStringLiteral("a\\nb\\\\nc");
        about.Comments.clear();
        about.ReadVersionInfo(record);
        QCOMPARE(about.ProductName, QStringLiteral("Velmora"));  // already set: kept
        QCOMPARE(about.TradeMarks, QStringLiteral("TM"));
        QCOMPARE(about.Comments, QStringLiteral("a\r\nb\\\r\nc"));  // left to right
    }

    void Position_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QPoint>("topLeft");
        // Screen 1920 x 1080, main window at (100, 50) sized 801 x 600, form 312 x 207;
        // divisions truncate.
        QTest::newRow("form centre") << int(spFormCenter) << QPoint(100 + 244, 50 + 196);
        QTest::newRow("default") << int(spDefault) << QPoint(804, 436);
        QTest::newRow("screen centre") << int(spScreenCenter) << QPoint(804, 436);
        QTest::newRow("top left") << int(spTopLeft) << QPoint(0, 0);
        QTest::newRow("top right") << int(spTopRight) << QPoint(1920 - 312 - 2, 0);
        QTest::newRow("bottom left") << int(spBottomLeft) << QPoint(0, 1080 - 207 - 2);
        QTest::newRow("bottom right") << int(spBottomRight) << QPoint(1606, 871);
    }
    void Position() {
        QFETCH(int, position);
        QFETCH(QPoint, topLeft);
        QCOMPARE(AboutFormPosition(TScreenPosition(position), QRect(0, 0, 1920, 1080),
                                   QRect(100, 50, 801, 600), QSize(312, 207)),
                 topLeft);
    }

    void LinkButtons_data() {
        QTest::addColumn<QString>("mail");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("buttonCaption");
        QTest::newRow("neither") << ""
                                 << ""
                                 << "";
        QTest::newRow("web only, as the main window has it") << ""
                                                             << "https://velmora.example/"
                                                             << "";
        QTest::newRow("both, own caption") << "me@velmora.example"
                                           << "https://velmora.example/"
                                           << "ホームページ";
    }
    void LinkButtons() {
        QFETCH(QString, mail);
        QFETCH(QString, home);
        QFETCH(QString, buttonCaption);
        TAboutDialog about;
        about.MailAddr = mail;
        about.HomePage = home;
        about.ButtonCaption = buttonCaption;
        QList<QUrl> opened;
        about.Opener = [&](const QUrl& url) {
            opened << url;
            return true;
        };
        auto form = about.CreateForm(nullptr);
        QCOMPARE(form->MailTo->isVisibleTo(form.get()), !mail.isEmpty());
        QCOMPARE(form->OpenWeb->isVisibleTo(form.get()), !home.isEmpty());
        QCOMPARE(form->OpenWeb->text(),
                 buttonCaption.isEmpty() ? QStringLiteral("作者HPを開く") : buttonCaption);
        for (QPushButton* button : {form->MailTo, form->OpenWeb}) {
            if (button->isVisibleTo(form.get())) {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
        QList<QUrl> expected;
        if (!mail.isEmpty()) {
            expected << QUrl(QStringLiteral("mailto:") + mail);
        }
        if (!home.isEmpty()) {
            expected << QUrl(home);
        }
        QCOMPARE(opened, expected);
    }

    void FormShowsTheRecord() {
        TAboutDialog about;
        about.Caption = QStringLiteral("Velmora");
        about.HomePage = QStringLiteral("https://velmora.example/");
        auto form = about.CreateForm(nullptr);
        QCOMPARE(form->windowTitle(), QStringLiteral("Velmora の情報"));
        QCOMPARE(form->ProductName->text(), about.FileDescription);
        QCOMPARE(form->Version->text(), about.VersionText());
        QCOMPARE(form->Copyright->text(), QStringLiteral("Copyright © 2026 Velmora Project"));
        QCOMPARE(form->Comments->Caption().count(QLatin1Char('\n')), 1);
        QCOMPARE(form->size(), QSize(312, 207));
        QVERIFY(SavePng(form.get(), u"about-box.png"_qs));
    }

    void HelpFileBesideTheProgram_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("help");
        QTest::newRow("plain") << "/home/u/Velmora/Velmora"
                               << "/home/u/Velmora/Velmora.html";
        // Only the program's own extension gives way; dots in the folder stay.
        QTest::newRow("extension") << "/opt/v.1/Velmora.bin"
                                   << "/opt/v.1/Velmora.html";
        QTest::newRow("renamed copy") << "/d/my.diary.run"
                                      << "/d/my.diary.html";
    }
    void HelpFileBesideTheProgram() {
        QFETCH(QString, executable);
        QFETCH(QString, help);
        QCOMPARE(THtmHelp::HelpFileFor(executable), help);
    }

    void HelpNeedsItsFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Velmora.html"));
        THtmHelp help;
        help.SetFileName(file);
        QVERIFY(!help.Enabled());
        help.ShowTopic(nullptr, QStringLiteral("index.html"));
        QVERIFY(!help.Browser());
        QFile(file).open(QIODevice::WriteOnly);
        help.SetFileName(file);
        QVERIFY(help.Enabled());
        help.SetFileName(dir.path());  // a folder is not a help file
        QVERIFY(!help.Enabled());
    }

    // The help shows in a window of the program; a link within it moves there, web and mail
    // addresses go to the desktop, and nothing else leaves the help.
    void HelpWindowFollowsOnlyItsOwnAndWebLinks_data() {
        QTest::addColumn<QString>("href");
        QTest::addColumn<bool>("handedOut");
        QTest::addColumn<bool>("scrolled");
        QTest::newRow("a place in the help") << "#end" << false << true;
        QTest::newRow("a place in the help by its file name") << "help.html#end" << false << true;
        QTest::newRow("web page") << "https://example.org/velmora" << true << false;
        QTest::newRow("plain web page") << "http://example.org/" << true << false;
        QTest::newRow("mail") << "mailto:someone@example.org" << true << false;
        QTest::newRow("a local file") << "file:///etc/passwd" << false << false;
        QTest::newRow("another file beside it") << "other.html" << false << false;
        QTest::newRow("what could pass for an option") << "--help" << false << false;
        QTest::newRow("a script") << "javascript:alert(1)" << false << false;
    }
    void HelpWindowFollowsOnlyItsOwnAndWebLinks() {
        QFETCH(QString, href);
        QFETCH(bool, handedOut);
        QFETCH(bool, scrolled);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("help.html"));
        QFile html(file);
        QVERIFY(html.open(QIODevice::WriteOnly));
        QByteArray filler;
        for (int i = 0; i < 200; ++i)
            filler += "<p>" + QByteArray::number(i) + "</p>";
        html.write(
            "<html><head><title>\xe3\x83\x98\xe3\x83\xab\xe3\x83\x97</title></head>"
            "<body><p><a href=\"" +
            href.toUtf8() + "\">link</a></p>" + filler +
            "<h2 id=\"end\">end</h2><p>last</p></body></html>");
        html.close();
        THtmHelp help;
        QList<QUrl> opened;
        help.Opener = [&](const QUrl& url) {
            opened << url;
            return true;
        };
        help.SetFileName(file);
        help.ShowTopic(nullptr, QStringLiteral("index.html"));
        QTextBrowser* browser = help.Browser();
        QVERIFY(browser);
        QVERIFY(browser->window()->isVisible());
        QCOMPARE(browser->window()->windowTitle(), u"ヘルプ"_qs);
        QVERIFY(browser->toPlainText().contains(u"last"_qs));
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
        // The browser hands on a link resolved against the help's own file.
        Q_EMIT browser->anchorClicked(browser->source().resolved(QUrl(href)));
        QCOMPARE(opened, handedOut ? QList<QUrl>{QUrl(href)} : QList<QUrl>{});
        QCOMPARE(browser->verticalScrollBar()->value() > 0, scrolled);
        QCOMPARE(browser->source(), QUrl::fromLocalFile(file));
        // The command again raises the same window.
        help.ShowTopic(nullptr, {});
        QCOMPARE(help.Browser(), browser);
    }

    void HelpWindowDoesNotKeepTheProgramOpen() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Velmora.html"));
        QFile(file).open(QIODevice::WriteOnly);
        QWidget diary;
        diary.show();
        THtmHelp help;
        help.SetFileName(file);
        help.ShowTopic(nullptr, {});
        QVERIFY(help.Browser()->window()->isVisible());
        // Closing the last window ends the event loop, as it ends the program.
        QTimer::singleShot(0, &diary, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
    }

    void ActionListSwitch() {
        TMActionList list;
        QAction first, second;
        auto* third = new QAction;
        second.setEnabled(false);
        list.AddAction(&first);
        list.AddAction(&second);
        list.AddAction(third);
        list.AddAction(&first);
        QCOMPARE(list.Actions().size(), 3);
        delete third;
        QCOMPARE(list.Actions().size(), 2);
        list.SetEnabled(false);
        QVERIFY(!list.Enabled() && !first.isEnabled() && !second.isEnabled());
        list.SetEnabled(true);
        QVERIFY(first.isEnabled() && second.isEnabled());
    }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
