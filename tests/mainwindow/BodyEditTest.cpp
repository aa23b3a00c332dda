#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>

#include "mainwindow/UserMessage.h"
#include "mainwindow/daypage/BodyEdit.h"
#include "mainwindow/daypage/BodyLinks.h"
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

Q_DECLARE_METATYPE(TLinkOpening)

// What the body takes from the clipboard: text and its formatting, pictures as the stored body
// keeps them, never a picture that it could not keep; and where its links lead.
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
    void pastedPictureIsKeptInTheRtf_data();
    void pastedPictureIsKeptInTheRtf();
    void wideClipboardPictureFitsThePage();
    void linkOpensAtOnceOnlyForWebAndMail_data();
    void linkOpensAtOnceOnlyForWebAndMail();
    void linkIsUnderlinedAsALink_data();
    void linkIsUnderlinedAsALink();
    void ctrlClickOnALinkAsksBeforeOpeningAFile_data();
    void ctrlClickOnALinkAsksBeforeOpeningAFile();
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

namespace {

// A picture of four coloured quarters, so that a change of size or orientation shows.
QImage Quarters(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           x < width / 2 ? (y < height / 2 ? 0xFF0000 : 0x00FF00)
                                         : (y < height / 2 ? 0x0000FF : 0xFFFF00));
    return image;
}

// The first picture of a document, as the document shows it.
QImage FirstPicture(const QTextDocument& document, QTextImageFormat* format = nullptr) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
                if (format)
                    *format = image;
                return document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                    .value<QImage>();
            }
    return QImage();
}

}  // namespace

// A picture copied alone (a screenshot, an image copied from a viewer or a browser) is pasted
// as a PNG picture of the body, written into its RTF and read back the same.
void BodyEditTest::pastedPictureIsKeptInTheRtf_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plain");  // the body afterwards
    QTest::newRow("picture alone") << QString() << QString() << u"\uFFFC"_qs;
    QTest::newRow("browser's copy of a picture") << u"<img src=\"https://example.com/a.png\">"_qs
                                                 << u"https://example.com/a.png"_qs << u"\uFFFC"_qs;
    QTest::newRow("viewer's copy with the file name") << QString() << u"a.png"_qs << u"\uFFFC"_qs;
    QTest::newRow("page with a picture and text: the text")
        << u"<p>朝<img src=\"a.png\">夜</p>"_qs << u"朝夜"_qs << u"朝夜"_qs;
}

void BodyEditTest::pastedPictureIsKeptInTheRtf() {
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QString, plain);
    const QImage picture = Quarters(6, 4);
    auto* data = new QMimeData;
    data->setImageData(picture);
    if (!html.isEmpty())
        data->setHtml(html);
    if (!text.isEmpty())
        data->setText(text);
    QApplication::clipboard()->setMimeData(data);

    TBodyEdit edit;
    QVERIFY(edit.canPaste());
    edit.paste();
    QCOMPARE(edit.toPlainText(), plain);
    if (!plain.contains(QChar::ObjectReplacementCharacter))
        return;
    QTextImageFormat shown;
    QCOMPARE(FirstPicture(*edit.document(), &shown).convertToFormat(QImage::Format_RGB32), picture);
    QCOMPARE(QSizeF(shown.width(), shown.height()), QSizeF(6, 4));
    const std::string rtf = WriteRtf(*edit.document());
    QVERIFY2(rtf.find("{\\pict\\pngblip") != std::string::npos, rtf.c_str());
    // Read back, as the page is at its next load: the same picture, written the same.
    QTextDocument read;
    ReadRtf(rtf, read);
    QCOMPARE(FirstPicture(read).convertToFormat(QImage::Format_RGB32), picture);
    QCOMPARE(WriteRtf(read), rtf);
}

// A screenshot wider than the page is shown at the page's width, its pixels all kept.
void BodyEditTest::wideClipboardPictureFitsThePage() {
    TBodyEdit edit;
    edit.resize(300, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    const QImage picture = Quarters(1200, 600);
    QApplication::clipboard()->setImage(picture);
    edit.paste();
    QTextImageFormat shown;
    const QImage kept = FirstPicture(*edit.document(), &shown);
    QCOMPARE(kept.size(), picture.size());
    QVERIFY(shown.width() <= edit.viewport()->width());
    QCOMPARE(qRound(shown.width() / shown.height() * 100), 200);
    QTextDocument read;
    ReadRtf(WriteRtf(*edit.document()), read);
    QTextImageFormat readBack;
    FirstPicture(read, &readBack);
    QCOMPARE(qRound(readBack.width()), qRound(shown.width()));
}

// Which links open at once, which after a question, and what is handed on: always an absolute
// URL, a relative one inside the diary folder.
void BodyEditTest::linkOpensAtOnceOnlyForWebAndMail_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<TLinkOpening>("opening");
    QTest::addColumn<QString>("url");
    using enum TLinkOpening;
    QTest::newRow("https") << u"https://example.com/a?b=1"_qs << AtOnce
                           << u"https://example.com/a?b=1"_qs;
    QTest::newRow("http") << u"http://example.com/"_qs << AtOnce << u"http://example.com/"_qs;
    QTest::newRow("scheme in capitals")
        << u"HTTPS://Example.COM/"_qs << AtOnce << u"https://example.com/"_qs;
    QTest::newRow("mailto in mixed case")
        << u"MailTo:x@example.com"_qs << AtOnce << u"mailto:x@example.com"_qs;
    QTest::newRow("blanks around")
        << u"  https://example.com/ "_qs << AtOnce << u"https://example.com/"_qs;
    QTest::newRow("space in the path")
        << u"https://example.com/a b"_qs << AtOnce << u"https://example.com/a%20b"_qs;
    QTest::newRow("space in the host") << u"https://exa mple.com/"_qs << None << QString();
    QTest::newRow("http without a host") << u"http:foo"_qs << AfterAsking << u"http:foo"_qs;
    QTest::newRow("mailto without an address") << u"mailto:"_qs << AfterAsking << u"mailto:"_qs;
    QTest::newRow("file") << u"file:///etc/passwd"_qs << AfterAsking << u"file:///etc/passwd"_qs;
    QTest::newRow("javascript") << u"javascript:alert(1)"_qs << AfterAsking
                                << u"javascript:alert(1)"_qs;
    QTest::newRow("option-like text stays a file in the folder")
        << u"--help"_qs << AfterAsking << u"file:///diary/--help"_qs;
    QTest::newRow("relative path")
        << u"../secret.txt"_qs << AfterAsking << u"file:///secret.txt"_qs;
    QTest::newRow("host without scheme is a file in the folder")
        << u"www.example.com"_qs << AfterAsking << u"file:///diary/www.example.com"_qs;
    QTest::newRow("scheme-relative is a file host")
        << u"//example.com/x"_qs << AfterAsking << u"file://example.com/x"_qs;
    QTest::newRow("empty") << QString() << None << QString();
    QTest::newRow("blanks") << u"   "_qs << None << QString();
    QTest::newRow("colon first is a file in the folder")
        << u":x"_qs << AfterAsking << u"file:///diary/:x"_qs;
}

void BodyEditTest::linkOpensAtOnceOnlyForWebAndMail() {
    QFETCH(QString, href);
    QFETCH(TLinkOpening, opening);
    QFETCH(QString, url);
    const TLinkTarget target = ResolveLink(href, QUrl(u"file:///diary/"_qs));
    QCOMPARE(target.Opening, opening);
    QCOMPARE(target.Url.toString(QUrl::FullyEncoded), url);
    QVERIFY(!target.Url.toString().startsWith(u'-'));
}

// A link read without a look of its own (a field's result in plain text) is underlined in the
// link colour on the screen; the text keeps its format.
void BodyEditTest::linkIsUnderlinedAsALink_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("underlined");
    QTest::newRow("link") << u"mailto:x@example.com"_qs << true;
    QTest::newRow("plain text") << QString() << false;
}

void BodyEditTest::linkIsUnderlinedAsALink() {
    QFETCH(QString, href);
    QFETCH(bool, underlined);
    TBodyEdit edit;
    edit.resize(300, 100);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTextCharFormat format;
    format.setAnchor(!href.isEmpty());
    format.setAnchorHref(href);
    QTextCursor cursor(edit.document());
    cursor.insertText(u"mail"_qs, format);
    QVERIFY(!edit.document()->begin().begin().fragment().charFormat().fontUnderline());
    const QRect word =
        edit.cursorRect(cursor).united(edit.cursorRect(QTextCursor(edit.document())));
    const QImage shown = edit.viewport()->grab().toImage();
    const QRgb link = edit.palette().color(QPalette::Link).rgb();
    int linkPixels = 0;
    for (int y = word.top(); y <= word.bottom() + 2; ++y)
        for (int x = word.left(); x <= word.right(); ++x)
            linkPixels += shown.pixel(x, y) == link;
    QCOMPARE(linkPixels > word.width() / 2, underlined);
}

// Ctrl+click on a link: a web page opens at once; a file opens only after a yes to a question
// that shows it. A plain click opens nothing.
void BodyEditTest::ctrlClickOnALinkAsksBeforeOpeningAFile_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question");  // shown in the question; empty: no question
    QTest::addColumn<QString>("opened");
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("web page at once")
        << u"https://example.com/"_qs << ctrl << false << QString() << u"https://example.com/"_qs;
    QTest::newRow("file, yes") << u"file:///tmp/x.sh"_qs << ctrl << true << u"/tmp/x.sh"_qs
                               << u"file:///tmp/x.sh"_qs;
    QTest::newRow("file, no") << u"file:///tmp/x.sh"_qs << ctrl << false << u"/tmp/x.sh"_qs
                              << QString();
    QTest::newRow("option-like, yes: a file in the folder")
        << u"--help"_qs << ctrl << true << u"/diary/--help"_qs << u"file:///diary/--help"_qs;
    QTest::newRow("plain click") << u"https://example.com/"_qs << Qt::KeyboardModifiers() << true
                                 << QString() << QString();
}

void BodyEditTest::ctrlClickOnALinkAsksBeforeOpeningAFile() {
    QFETCH(QString, href);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    QFETCH(QString, opened);
    QStringList questions;
    SetUserQuestionHook([&](const QString& text) {
        questions << text;
        return answer;
    });
    TBodyEdit edit;
    QList<QUrl> opens;
    edit.OpenUrl = [&](const QUrl& url) {
        opens << url;
        return true;
    };
    edit.LinkFolder = QUrl(u"file:///diary/"_qs);
    edit.resize(400, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(href);
    QTextCursor(edit.document()).insertText(u"リンクの文字"_qs, link);
    const QRect first = edit.cursorRect(QTextCursor(edit.document()));
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, modifiers,
                      first.center() + QPoint(first.height(), 0));
    SetUserQuestionHook({});
    QCOMPARE(questions.size(), question.isEmpty() ? 0 : 1);
    if (!question.isEmpty())
        QVERIFY2(questions[0].contains(question), qPrintable(questions[0]));
    QCOMPARE(opens.size(), opened.isEmpty() ? 0 : 1);
    if (!opened.isEmpty())
        QCOMPARE(opens[0].toString(), opened);
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
