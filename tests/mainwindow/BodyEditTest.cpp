#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>

#include "mainwindow/daypage/BodyEdit.h"

// What the body takes from the clipboard: text and its formatting, never a picture that the
// stored body could not keep.
class BodyEditTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pasteKeepsTextAndDropsPictures_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<bool>("bold");
        QTest::newRow("picture between words")
            << u"<p>朝<img src=\"data:image/png;base64,iVBORw0KGgo=\"/>夜</p>"_qs << QString()
            << u"朝夜"_qs << false;
        QTest::newRow("formatting kept")
            << u"<p><b>晴れ</b></p>"_qs << QString() << u"晴れ"_qs << true;
        QTest::newRow("plain text only") << QString() << u"雨のち曇"_qs << u"雨のち曇"_qs << false;
    }
    void pasteKeepsTextAndDropsPictures() {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QFETCH(bool, bold);
        auto* data = new QMimeData;
        if (!html.isEmpty())
            data->setHtml(html);
        if (!text.isEmpty())
            data->setText(text);
        QApplication::clipboard()->setMimeData(data);

        TBodyEdit edit;
        edit.paste();
        QCOMPARE(edit.toPlainText(), plain);
        QVERIFY(!edit.toPlainText().contains(QChar::ObjectReplacementCharacter));
        QTextCursor cursor(edit.document());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontWeight() >= QFont::Bold, bold);
    }
};

QTEST_MAIN(BodyEditTest)
#include "BodyEditTest.moc"
