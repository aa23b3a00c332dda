#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>

#include "mainwindow/daypage/BodyEdit.h"
#include "mainwindow/daypage/LongParagraphs.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "support/DocumentSignature.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextList>

#include <sys/stat.h>

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
    void pasteShowsWhatIsKept_data();
    void pasteShowsWhatIsKept();
    void pastedHtmlLoadsNoFile();
    void longParagraphsKeepTheirLayout_data();
    void longParagraphsKeepTheirLayout();
    void cutPictureComesBackOnPaste();
    void typingAfterAPictureIsText();
    void richBodyScreenshots();
};

// What a paste shows is what a save keeps: the body read back from its own RTF looks the same.
void BodyEditTest::pasteShowsWhatIsKept_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<int>("listStyle");
    QTest::addColumn<QString>("href");
    QTest::newRow("bulleted list") << u"<ul><li>卵</li><li>牛乳</li></ul>"_qs << u"卵\n牛乳"_qs
                                   << int(QTextListFormat::ListDisc) << QString();
    QTest::newRow("square bullets become the kept bullet")
        << u"<ul style=\"list-style-type:square\"><li>a</li></ul>"_qs << u"a"_qs
        << int(QTextListFormat::ListDisc) << QString();
    QTest::newRow("numbered list") << u"<ol><li>一</li><li>二</li></ol>"_qs << u"一\n二"_qs
                                   << int(QTextListFormat::ListDecimal) << QString();
    QTest::newRow("table kept as a table")
        << u"<table border=1><tr><td>a</td><td>b</td></tr></table>"_qs << u"a\nb"_qs << 0
        << QString();
    QTest::newRow("link keeps its target") << u"<p><a href=\"https://example.com/\">site</a></p>"_qs
                                           << u"site"_qs << 0 << u"https://example.com/"_qs;
    QTest::newRow("line height kept as RTF can say it")
        << u"<p style=\"line-height:150%\">行</p>"_qs << u"行"_qs << 0 << QString();
}

void BodyEditTest::pasteShowsWhatIsKept() {
    QFETCH(QString, html);
    QFETCH(QString, plain);
    QFETCH(int, listStyle);
    QFETCH(QString, href);
    auto* data = new QMimeData;
    data->setHtml(html);
    QApplication::clipboard()->setMimeData(data);
    TBodyEdit edit;
    edit.paste();
    QCOMPARE(edit.toPlainText().trimmed(), plain);
    QTextDocument saved;
    saved.setDefaultFont(edit.document()->defaultFont());
    ReadRtf(WriteRtf(*edit.document()), saved);
    QCOMPARE(DocumentSignature(saved), DocumentSignature(*edit.document()));
    const QTextList* list = edit.document()->begin().textList();
    QCOMPARE(list != nullptr ? int(list->format().style()) : 0, listStyle);
    QTextCursor cursor(edit.document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().anchorHref(), href);
}

// Pasted HTML may name a style sheet by path: it is not read. A FIFO would block the paste in
// open() for ever, so it is pasted only after a readable file was shown to be left alone.
void BodyEditTest::pastedHtmlLoadsNoFile() {
    QTemporaryDir folder;
    const auto pasteNaming = [](const QString& path) {
        auto* data = new QMimeData;
        data->setHtml(
            u"<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"%1\"></head>"
            "<body><p>朝</p></body></html>"_qs.arg(path));
        QApplication::clipboard()->setMimeData(data);
        TBodyEdit edit;
        edit.paste();
        QTextCursor cursor(edit.document());
        cursor.setPosition(1);
        return cursor.charFormat().foreground().color();
    };
    const QString sheet = folder.filePath(u"red.css"_qs);
    QFile file(sheet);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("p { color: #ff0000 }");
    file.close();
    QVERIFY(pasteNaming(sheet) != QColor(Qt::red));
    const QString fifo = folder.filePath(u"fifo"_qs);
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(pasteNaming(fifo) != QColor(Qt::red));
}

// A paragraph long enough that working its layout out again would keep the editor busy at each
// caret blink keeps it, however it came to be that long; short ones do not.
void BodyEditTest::longParagraphsKeepTheirLayout_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("kept");
    for (const QString& how : {u"read"_qs, u"pasted"_qs, u"typed"_qs}) {
        QTest::addRow("%s, short", qPrintable(how)) << how << 200 << false;
        QTest::addRow("%s, just short", qPrintable(how)) << how << kLongParagraph - 2 << false;
        QTest::addRow("%s, long", qPrintable(how)) << how << kLongParagraph << true;
    }
}

void BodyEditTest::longParagraphsKeepTheirLayout() {
    QFETCH(QString, how);
    QFETCH(int, length);
    QFETCH(bool, kept);
    TBodyEdit edit;
    ReadRtf("{\\rtf1 first\\par x\\par last\\par}", *edit.document());
    const QString text(length - 2, u'a');  // the block's length counts its end and the x
    if (how == u"read"_qs) {
        ReadRtf("{\\rtf1 first\\par x" + text.toStdString() + "\\par last\\par}", *edit.document());
    } else {
        QTextCursor cursor(edit.document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock);
        edit.setTextCursor(cursor);
        if (how == u"pasted"_qs) {
            auto* data = new QMimeData;
            data->setText(text);
            QApplication::clipboard()->setMimeData(data);
            edit.paste();
        } else {
            for (qsizetype i = 0; i < text.size(); i += 1000)
                edit.insertPlainText(text.mid(i, 1000));
        }
    }
    const QTextBlock block = edit.document()->findBlockByNumber(1);
    QCOMPARE(block.length(), length);
    QCOMPARE(block.layout()->cacheEnabled(), kept);
    QVERIFY(!edit.document()->firstBlock().layout()->cacheEnabled());
    QVERIFY(!edit.document()->lastBlock().layout()->cacheEnabled());
}

// A picture read from a file, cut and pasted, is the same picture: shown, and written back as
// the bytes it was read from.
void BodyEditTest::cutPictureComesBackOnPaste() {
    const std::string group = "{\\pict\\wmetafile8\\picwgoal300\\pichgoal150 0100}";
    TBodyEdit source;
    ReadRtf("{\\rtf1 a" + group + "b\\par}", *source.document());
    source.selectAll();
    source.cut();
    QCOMPARE(source.toPlainText(), QString());
    TBodyEdit target;
    target.paste();
    QCOMPARE(target.toPlainText(), u"a\uFFFCb"_qs);
    QTextCursor cursor(target.document());
    cursor.setPosition(2);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    QVERIFY(image.isValid());
    QCOMPARE(image.width(), 20.0);
    QVERIFY(!target.document()
                 ->resource(QTextDocument::ImageResource, QUrl(image.name()))
                 .value<QImage>()
                 .isNull());
    QVERIFY(WriteRtf(*target.document()).find(group) != std::string::npos);
}

void BodyEditTest::typingAfterAPictureIsText() {
    TBodyEdit edit;
    ReadRtf("{\\rtf1 a{\\pict\\wmetafile8 01}\\par}", *edit.document());
    edit.moveCursor(QTextCursor::End);
    QTest::keyClicks(&edit, "xy");
    QCOMPARE(edit.toPlainText(), u"a\uFFFCxy"_qs);
    QTextCursor cursor(edit.document());
    cursor.setPosition(4);
    QVERIFY(!cursor.charFormat().hasProperty(kRtfGroupProperty));
    QVERIFY(!cursor.charFormat().isImageFormat());
}

// Bodies with lists, links, spacing, tab stops, tables and pictures, shown before and after an
// edit and a save.
void BodyEditTest::richBodyScreenshots() {
    TBodyEdit edit;
    edit.resize(520, 900);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QDir().mkpath(QStringLiteral(VELMORA_PNG_DIR));
    for (const char* name : {"rtf-lists.rtf", "rtf-links.rtf", "rtf-spacing.rtf", "rtf-table.rtf",
                             "rtf-pictures.rtf", "rtf-mixed.rtf"}) {
        QFile file(QStringLiteral(VELMORA_TEST_DATA "/") + QLatin1String(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        ReadRtf(std::string_view(rtf.constData(), size_t(rtf.size())), *edit.document());
        const QString before = DocumentSignature(*edit.document());
        const QString stem =
            QStringLiteral(VELMORA_PNG_DIR "/body-") + QLatin1String(name).chopped(4);
        QVERIFY(edit.grab().save(stem + u"-read.png"_qs));
        QTextCursor cursor(edit.document());
        cursor.setPosition(1);
        cursor.insertText(u"x"_qs);
        const std::string saved = WriteRtf(*edit.document());
        const QString edited = DocumentSignature(*edit.document());
        ReadRtf(saved, *edit.document());
        QCOMPARE(DocumentSignature(*edit.document()), edited);
        QVERIFY(before != edited);
        QVERIFY(edit.grab().save(stem + u"-saved.png"_qs));
    }
}

QTEST_MAIN(BodyEditTest)
#include "BodyEditTest.moc"
