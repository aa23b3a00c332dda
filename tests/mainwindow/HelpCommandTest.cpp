// The window's help command as a user meets it on the desktop: the real platform (an X display
// of its own) hands the help file to the desktop's opener, here a stand-in on the path.

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "mainwindow/MainActions.h"
#include "support/WindowRun.h"

class HelpCommandTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir openerDir_;

    QString OpenedLog() const { return openerDir_.filePath(QStringLiteral("opened")); }

private Q_SLOTS:
    void initTestCase() {
        // It records what it was asked to open. The help finds its opener once per process, so
        // this comes first.
        const QString opener = openerDir_.filePath(QStringLiteral("xdg-open"));
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$(dirname \"$0\")/opened\"\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        qputenv("PATH", openerDir_.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    }

    void HelpCommandOpensTheFileBesideTheProgram_data() {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("menu") << false;
        QTest::newRow("F1") << true;
    }
    void HelpCommandOpensTheFileBesideTheProgram() {
        QFETCH(bool, byKey);
        QFile::remove(OpenedLog());
        TWindowRun run;
        QVERIFY(QFile::copy(QStringLiteral(VELMORA_BIN_DIR "/Velmora.html"),
                            run.Path(QStringLiteral("Velmora.html"))));
        TForm1& form = run.Start();
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
        QTRY_VERIFY(QFileInfo(OpenedLog()).size() > 0);
        QFile log(OpenedLog());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(log.readAll()).trimmed(),
                 QUrl::fromLocalFile(run.Path(QStringLiteral("Velmora.html"))).toString());
    }

    void HelpCommandIsOffWithoutTheFile() {
        TWindowRun run;
        QVERIFY(!run.Start().Actions().HelpAction->isEnabled());
    }
};

QTEST_MAIN(HelpCommandTest)
#include "HelpCommandTest.moc"
