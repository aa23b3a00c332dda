#include "richtext/BodyText.h"
#include "richtext/RtfEmbed.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include "support/DocumentSignature.h"

#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

#include <string>

#include <sys/stat.h>

namespace {

using namespace Qt::StringLiterals;

std::string Bytes(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::string Fixture(const char* name) {
    QFile file(QStringLiteral(VELMORA_TEST_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("missing fixture %s", name);
    }
    return Bytes(file.readAll());
}

// The paragraphs of a document joined with '\n', its line breaks shown as '|'.
QString Paragraphs(const QTextDocument& document) {
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        texts << block.text().replace(QChar::LineSeparator, u'|');
    }
    return texts.join(u'\n');
}

QString Read(const std::string& rtf) {
    QTextDocument document;
    ReadRtf(rtf, document);
    return Paragraphs(document);
}

// The character format of the first character of text in the document.
QTextCharFormat FormatAt(const QTextDocument& document, const QString& text) {
    const QTextCursor found = document.find(text);
    if (found.isNull()) {
        qFatal("text not found");
    }
    QTextCursor cursor(found.block());
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QString Family(const QTextCharFormat& format) {
    return format.fontFamilies().toStringList().value(0);
}

void AddParagraph(QTextCursor& cursor, const QTextBlockFormat& block,
                  const QList<std::pair<QString, QTextCharFormat>>& runs) {
    if (!cursor.atStart()) {
        cursor.insertBlock();
    }
    cursor.setBlockFormat(block);
    for (const auto& [text, format] : runs) {
        cursor.insertText(text, format);
    }
}

QTextCharFormat Chars(const QString& face, double points) {
    QTextCharFormat format;
    format.setFontFamilies({face});
    format.setFontPointSize(points);
    return format;
}

}  // namespace

class RtfTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fixtureText_data();
    void fixtureText();
    void japaneseFixtureFormats();
    void westernFixtureFormats();
    void formatsFixture();
    void readerRules_data();
    void readerRules();
    void damagedInput_data();
    void damagedInput();
    void plainTextValue();
    void writerEncodesCharacters_data();
    void writerEncodesCharacters();
    void writerShape();
    void writerPicksCharsets();
    void roundTrip();
    void rewriteIsStable_data();
    void rewriteIsStable();
    void linkTargetRewriteIsStable();
    void linkTargetWithTabRewriteIsStable();
    void adjacentLinksRewriteIsStable();
    void fuzzFindingsRewriteIsStable_data();
    void fuzzFindingsRewriteIsStable();
    void plainTextForField_data();
    void plainTextForField();
    void fixturesSurviveAnEdit_data();
    void fixturesSurviveAnEdit();
    void listsRead_data();
    void listsRead();
    void listsWritten();
    void linksKept();
    void spacingAndTabsKept();
    void facesStoodInForKeepTheirName_data();
    void facesStoodInForKeepTheirName();
    void charsetsKept_data();
    void charsetsKept();
    void exactCharacters_data();
    void exactCharacters();
    void tableRead_data();
    void tableRead();
    void tableShape();
    void tableWritten();
    void picturesRead_data();
    void picturesRead();
    void keptGroupsWrittenUnchanged();
    void hiddenTextWrittenInItsGroup();
    void textTakingAnObjectsFormatIsText_data();
    void textTakingAnObjectsFormatIsText();
    void pictureDecodeFormat_data();
    void pictureDecodeFormat();
    void picturesDecodedFromTheirBytes_data();
    void picturesDecodedFromTheirBytes();
    void pictureNamingAFifoDoesNotHang();
    void picturesTooLargeRefused_data();
    void picturesTooLargeRefused();
    void pictureFromMime_data();
    void pictureFromMime();
};

void RtfTest::fixtureText_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    // Expected texts: the characters the fixtures' bytes stand for in their code pages.
    QTest::newRow("cp932 pairs, trail bytes 5C and 60, NEC and IBM rows, kana")
        << u"rtf-japanese.rtf"_s << u"今日は晴れ。\n表示～①髙ｱ"_s;
    QTest::newRow("cp1252 and cp1250 runs, \\u surrogate pairs, trailing NUL")
        << u"rtf-western.rtf"_s << u"Café € 5日本 😀 𠮷\nłódź"_s;
    QTest::newRow("colour table, \\tab, \\line, alignment, indents")
        << u"rtf-formats.rtf"_s << u"晴れ\nWalk\nright\tend|next\n散歩"_s;
}

void RtfTest::fixtureText() {
    QFETCH(QString, file);
    QFETCH(QString, text);
    QCOMPARE(Read(Fixture(file.toLatin1().constData())), text);
}

void RtfTest::japaneseFixtureFormats() {
    QTextDocument document;
    ReadRtf(Fixture("rtf-japanese.rtf"), document);
    const QTextCharFormat format = FormatAt(document, u"晴"_s);
    QCOMPARE(Family(format), u"ＭＳ Ｐゴシック"_s);
    QCOMPARE(format.fontPointSize(), 9.0);
    QCOMPARE(format.intProperty(kRtfCharsetProperty), 128);
    // "\f1\par": the mark of the second paragraph is in Tahoma, its text is not.
    QCOMPARE(Family(document.lastBlock().charFormat()), u"Tahoma"_s);
    QCOMPARE(Family(FormatAt(document, u"表"_s)), u"ＭＳ Ｐゴシック"_s);
    QVERIFY(!document.isModified());
}

void RtfTest::westernFixtureFormats() {
    QTextDocument document;
    ReadRtf(Fixture("rtf-western.rtf"), document);
    QCOMPARE(Family(FormatAt(document, u"Caf"_s)), u"Calibri"_s);
    QCOMPARE(FormatAt(document, u"Caf"_s).intProperty(kRtfCharsetProperty), 0);
    QCOMPARE(FormatAt(document, u"Caf"_s).fontPointSize(), 11.0);
    QCOMPARE(Family(FormatAt(document, u"日本"_s)), u"MS Gothic"_s);
    QCOMPARE(Family(FormatAt(document, u"łódź"_s)), u"Arial CE"_s);
    QCOMPARE(document.firstBlock().blockFormat().bottomMargin(), 200 / kTwipsPerPixel);
}

void RtfTest::formatsFixture() {
    QTextDocument document;
    ReadRtf(Fixture("rtf-formats.rtf"), document);
    const QTextCharFormat fine = FormatAt(document, u"晴"_s);
    QCOMPARE(fine.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(fine.fontPointSize(), 10.5);
    QVERIFY(fine.fontWeight() < QFont::DemiBold);
    const QTextCharFormat bold = FormatAt(document, u"れ"_s);
    QCOMPARE(bold.fontWeight(), int(QFont::Bold));
    QVERIFY(!bold.hasProperty(QTextFormat::ForegroundBrush));

    const QTextCharFormat walk = FormatAt(document, u"Walk"_s);
    QCOMPARE(Family(walk), u"Arial"_s);
    QCOMPARE(walk.fontPointSize(), 14.0);
    QVERIFY(walk.fontItalic());
    QVERIFY(walk.fontUnderline());
    QCOMPARE(walk.foreground().color(), QColor(0, 0, 255));
    QVERIFY(!FormatAt(document, u"right"_s).fontUnderline());

    QTextBlock block = document.begin();
    QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::Alignment(Qt::AlignLeft));
    block = block.next();
    QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::Alignment(Qt::AlignHCenter));
    block = block.next();
    QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::Alignment(Qt::AlignRight));
    QCOMPARE(block.blockFormat().textIndent(), -360 / kTwipsPerPixel);
    QCOMPARE(block.blockFormat().leftMargin(), 720 / kTwipsPerPixel);
    block = block.next();
    QCOMPARE(block.blockFormat().textIndent(), 28.0);
    QCOMPARE(block.blockFormat().leftMargin(), 0.0);
}

void RtfTest::readerRules_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    const QByteArray jp = R"({\rtf1\ansi\ansicpg932{\fonttbl{\f0\fcharset128 x;}})";
    // Each expectation follows the RTF rule named in the row.
    QTest::newRow("last \\par opens no paragraph") << jp + R"(\f0 a\par})" << u"a"_s;
    QTest::newRow("\\par\\par leaves one empty paragraph") << jp + R"(\f0 a\par\par})" << u"a\n"_s;
    QTest::newRow("text after the last \\par is a paragraph")
        << jp + R"(\f0 a\par b})" << u"a\nb"_s;
    QTest::newRow("escaped lead byte, raw ASCII trail") << jp + R"(\f0\'95\\\'8bC})" << u"表気"_s;
    QTest::newRow("raw bytes above 0x7F") << jp + "\\f0 \x93\xfa}" << u"日"_s;
    QTest::newRow("upper-case hex") << jp + R"(\f0\'93\'FA})" << u"日"_s;
    QTest::newRow("\\uc2 skips two bytes") << jp + R"(\f0\uc2\u24180\'94\'4e!})" << u"年!"_s;
    QTest::newRow("\\uc0 skips nothing") << jp + R"(\uc0\u233 x})" << u"éx"_s;
    QTest::newRow("\\uc is group-scoped")
        << QByteArray(R"({\rtf1{\uc2\u233 xy}\u233 xz})") << u"ééz"_s;
    QTest::newRow("fallback stops at a group") << QByteArray(R"({\rtf1\uc3\u233{b}})") << u"éb"_s;
    QTest::newRow("no font: \\ansicpg") << QByteArray(R"({\rtf1\ansi\ansicpg1251 \'c0})") << u"А"_s;
    QTest::newRow("no \\ansicpg: 1252") << QByteArray(R"({\rtf1 \'80})") << u"€"_s;
    QTest::newRow("\\cpg beats \\fcharset")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset0\cpg1253 G;}}\f0\'d9})") << u"Ω"_s;
    QTest::newRow("group restores font")
        << QByteArray(
               R"({\rtf1\ansicpg1252{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset128 J;}}\f0{\f1\'93\'fa}\'e9})")
        << u"日é"_s;
    QTest::newRow("starred and listed destinations skipped")
        << QByteArray(
               R"({\rtf1{\*\generator Msftedit;}{\info{\title t}}{\*\unknown{x}y}a{\stylesheet{s;}}b})")
        << u"ab"_s;
    QTest::newRow("line end between the brace and \\* (writers wrap anywhere)")
        << QByteArray("{\\rtf1 a{\r\n\\*\\foo x}b}") << u"ab"_s;
    QTest::newRow("field with a tab in its target shows its result")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"a\\tab b\"}{\\fldrslt x}}}")
        << u"x"_s;
    QTest::newRow("field shows its result")
        << QByteArray(R"({\rtf1{\field{\*\fldinst{HYPERLINK "u"}}{\fldrslt{\ul link}}}})")
        << u"link"_s;
    QTest::newRow("list marker text is not body text")
        << QByteArray(R"({\rtf1{\pntext\'b7\tab}{\*\pn\pnlvlblt{\pntxtb\'b7}}item\par})")
        << u"item"_s;
    QTest::newRow("unknown words ignored, their space eaten")
        << QByteArray(R"({\rtf1\viewkind4\nouicompat\kerning2 a\zzz12 b})") << u"ab"_s;
    QTest::newRow("symbols")
        << QByteArray(R"({\rtf1 \{\}\\\~\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})")
        << u"{}\\\u00a0—–•‘’“”"_s;
    QTest::newRow("blanks before the body are not text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}} \r\n{\\colortbl ;} x}") << u"x"_s;
    QTest::newRow("\\bin data skipped by count")
        << QByteArray("{\\rtf1 a\\bin4 }{\\}c}") << u"ac"_s;
    QTest::newRow("hidden text is one unseen object")
        << QByteArray(R"({\rtf1 a{\v b}c})") << u"a\uFFFCc"_s;
    QTest::newRow("hidden runs that look alike are one object")
        << QByteArray(R"({\rtf1{\fonttbl{\f0 A;}{\f1 A;}} a{\v\f0 b}{\v\f1 c}d})") << u"a\uFFFCd"_s;
    QTest::newRow("list level at the largest number")
        << QByteArray(R"({\rtf1\ls1\ilvl2147483647 a\par})") << u"a"_s;
    QTest::newRow("a picture is one object")
        << QByteArray(R"({\rtf1 a{\pict\wmetafile8 0102}b})") << u"a\uFFFCb"_s;
    QTest::newRow("a picture word inside a group keeps its data out of the text")
        << QByteArray(R"({\rtf1 a{\b\pict 0102}b})") << u"ab"_s;
    QTest::newRow("a picture cut short is kept to the end")
        << QByteArray(R"({\rtf1 a{\pict\pngblip 01)") << u"a\uFFFC"_s;
    QTest::newRow("a picture cut inside a control symbol is dropped")
        << QByteArray("{\\rtf1 a{\\pict 01\\") << u"a"_s;
    QTest::newRow("a picture cut inside its binary data is dropped")
        << QByteArray("{\\rtf1 a{\\pict\\bin9 01") << u"a"_s;
    QTest::newRow("footnote and its mark kept")
        << QByteArray(R"({\rtf1 a{\super\chftn}{\footnote{\super\chftn} b}c})")
        << u"a\uFFFC\uFFFCc"_s;
    QTest::newRow("footnote kept at its mark")
        << QByteArray(R"({\rtf1 a{\footnote b\par c}d})") << u"a\uFFFCd"_s;
    QTest::newRow("page break is a paragraph break")
        << QByteArray(R"({\rtf1 a\page b})") << u"a\nb"_s;
    QTest::newRow("revision-deleted text is one unseen object")
        << QByteArray(R"({\rtf1 a{\deleted b}c})") << u"a\uFFFCc"_s;
    QTest::newRow("list tables hold no text")
        << QByteArray(
               R"({\rtf1{\*\listtable{\list{\listlevel{\leveltext\'01x;}}\listid1}}{\*\listoverridetable{\listoverride\listid1\ls1}}a})")
        << u"a"_s;
    QTest::newRow("starred \\pn inside a skipped group stays skipped")
        << QByteArray(R"({\rtf1{\*\generator{\*\pn\pndec x}}a\par})") << u"a"_s;
    QTest::newRow("table cells are paragraphs after the block Qt keeps before a table")
        << QByteArray(R"({\rtf1 a\cell b\cell\row c})") << u"\na\nb\nc"_s;
    QTest::newRow("nested cells stay in their outer cell")
        << QByteArray(
               R"({\rtf1 x\par\intbl a\nestcell b\nestcell{\*\nesttableprops\nestrow}\cell\row})")
        << u"x\na\tb\t\n"_s;
    QTest::newRow("backslash and line end is \\par")
        << QByteArray("{\\rtf1 a\\\r\nb}") << u"a\nb"_s;
    QTest::newRow("junk after the outer group ignored")
        << QByteArray("{\\rtf1 a}\r\n\0junk", 16) << u"a"_s;
    QTest::newRow("leading byte-order mark and blanks")
        << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 a}") << u"a"_s;
    QTest::newRow("Johab keeps the ASCII backslash, as Windows does")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset130 J;}}\f0 a\\b})") << u"a\\b"_s;
    QTest::newRow("cp1258 gives back its last character")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset163 V;}}\f0 ab})") << u"ab"_s;
    QTest::newRow("&#x in text stays literal")
        << jp + R"(\f0 &#x1F600;\'82\'a0})" << u"&#x1F600;あ"_s;
}

void RtfTest::readerRules() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(Read(Bytes(rtf)), text);
}

void RtfTest::damagedInput_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    // Each row: what is damaged, and the text that can still be read from it.
    QTest::newRow("groups never closed") << QByteArray(R"({\rtf1 a{\b b{\i c)") << u"abc"_s;
    QTest::newRow("extra close ends the document") << QByteArray(R"({\rtf1 a}}b)") << u"a"_s;
    QTest::newRow("backslash at the end") << QByteArray(R"({\rtf1 a\)") << u"a"_s;
    QTest::newRow("escape cut after one digit") << QByteArray(R"({\rtf1 a\'4)") << u"a"_s;
    QTest::newRow("escape with no hex digits") << QByteArray(R"({\rtf1 a\'zz})") << u"azz"_s;
    QTest::newRow("lead byte without trail")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset128 x;}}\f0\'82})") << u"\ufffd"_s;
    QTest::newRow("lead byte then ASCII that is no trail")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset128 x;}}\f0\'82\'0a z})") << u"\ufffd z"_s;
    QTest::newRow("lone surrogate") << QByteArray(R"({\rtf1\u-10179?x})") << u"\ufffdx"_s;
    QTest::newRow("huge parameters")
        << QByteArray(R"({\rtf1\fs99999999999999999999\fi-99999999999\uc999999999\u2147483647 ?x})")
        << u"\uffff"_s;
    QTest::newRow("huge font and colour indexes")
        << QByteArray(R"({\rtf1{\fonttbl{\f2147483647 A;}}\f-5\cf99999 y})") << u"y"_s;
    QTest::newRow("\\bin count beyond the data")
        << QByteArray(R"({\rtf1 a\bin99999999999 bc})") << u"a"_s;
    QTest::newRow("negative \\bin") << QByteArray(R"({\rtf1 a\bin-5 b})") << u"ab"_s;
    QTest::newRow("overlong control word")
        << QByteArray("{\\rtf1 ") + QByteArray(100, 'x').prepend('\\') + " y}" << u"y"_s;
    QTest::newRow("control characters in bytes")
        << QByteArray(R"({\rtf1 a\'0d\'0a\'00\'09b})") << u"a\tb"_s;
    QTest::newRow("paragraph separator") << QByteArray(R"({\rtf1 a\u8233?b})") << u"a|b"_s;
    QTest::newRow("nesting deeper than the cap")
        << QByteArray("{\\rtf1 a") + QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "c}"
        << u"abc"_s;
    QTest::newRow("\\* in the middle of a group") << QByteArray(R"({\rtf1 a\*\foo b})") << u"ab"_s;
}

void RtfTest::damagedInput() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(Read(Bytes(rtf)), text);
}

void RtfTest::plainTextValue() {
    // A body stored without RTF is CP932 text; its line ends make paragraphs.
    QTextDocument document;
    ReadRtf("\x93\xfa\x8b\x4c\r\nline two\rthree\nfour", document);
    QCOMPARE(Paragraphs(document), u"日記\nline two\nthree\nfour"_s);
    QVERIFY(!IsRtf("{rtf1 x}"));
    QVERIFY(IsRtf("\r\n {\\rtf1}"));
    QVERIFY(!IsRtf("{\\RTF1 x}"));
    QVERIFY(!IsRtf(""));
    ReadRtf("", document);
    QCOMPARE(document.blockCount(), 1);
    QVERIFY(document.isEmpty());
}

void RtfTest::writerEncodesCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("body");
    // Expected bytes: CP932 code points (as Windows' code page 932 table gives them) as \'hh,
    // the rest as signed UTF-16 \uN? with "?" for \uc1.
    QTest::newRow("hiragana") << u"あ"_s << QByteArray(R"(\'82\'a0)");
    QTest::newRow("trail byte 0x5C escaped") << u"表"_s << QByteArray(R"(\'95\'5c)");
    QTest::newRow("half-width kana is one byte") << u"ｱ"_s << QByteArray(R"(\'b1)");
    QTest::newRow("NEC row 13") << u"①"_s << QByteArray(R"(\'87\'40)");
    QTest::newRow("wave dash exact, its CP932 twin for older readers")
        << u"〜"_s << QByteArray(R"(\uc2\u12316\'81\'60\uc1)");
    QTest::newRow("yen sign is not the backslash byte") << u"¥"_s << QByteArray(R"(\u165?)");
    QTest::newRow("accented Latin") << u"é"_s << QByteArray(R"(\u233?)");
    QTest::newRow("emoji as a surrogate pair") << u"😀"_s << QByteArray(R"(\u-10179?\u-8704?)");
    QTest::newRow("rare kanji beyond the BMP") << u"𠮷"_s << QByteArray(R"(\u-10174?\u-8265?)");
    QTest::newRow("specials") << u"\\{}\t\u00a0"_s << QByteArray(R"(\\\{\}\tab\~)");
    QTest::newRow("line break") << u"a\u2028b"_s << QByteArray(R"(a\line b)");
}

void RtfTest::writerEncodesCharacters() {
    QFETCH(QString, text);
    QFETCH(QByteArray, body);
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(u"日"_s + text, Chars(u"ＭＳ 明朝"_s, 10.5));
    const std::string rtf = WriteRtf(document);
    const std::string expected = R"(\fs21\'93\'fa)" + Bytes(body) + R"(\par)";
    QVERIFY2(rtf.find(expected) != std::string::npos, rtf.c_str());
}

void RtfTest::writerShape() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat mincho = Chars(u"ＭＳ 明朝"_s, 10.5);
    QTextCharFormat bold = mincho;
    bold.setFontWeight(QFont::Bold);
    AddParagraph(cursor, {}, {{u"今日は"_s, mincho}, {u"晴れ"_s, bold}, {u"。"_s, mincho}});
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTextIndent(14);
    QTextCharFormat red = Chars(u"Arial"_s, 12);
    red.setForeground(QColor(255, 0, 0));
    red.setFontUnderline(true);
    AddParagraph(cursor, centred, {{u"Walk 5"_s, red}});
    // Hand-encoded from the RTF rules: header, tables, deltas, a space only before literal text,
    // \par CR LF after every paragraph including the last.
    const std::string expected =
        "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl"
        "{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}"
        "{\\f1\\fnil\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs21\\'8d\\'a1\\'93\\'fa\\'82\\'cd\\b\\'90\\'b0\\'82\\'ea"
        "\\b0\\'81\\'42\\par\r\n"
        "\\pard\\qc\\fi210\\f1\\fs24\\ul\\cf1 Walk 5\\par\r\n"
        "}\r\n";
    QCOMPARE(WriteRtf(document), expected);
}

void RtfTest::writerPicksCharsets() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat keptWestern = Chars(u"Calibri"_s, 11);
    QTextCharFormat boldTahoma = Chars(u"Tahoma"_s, 9);
    boldTahoma.setFontWeight(QFont::Bold);
    keptWestern.setProperty(kRtfCharsetProperty, 0);
    AddParagraph(cursor, {},
                 {{u"Tahoma"_s, Chars(u"Tahoma"_s, 9)},
                  {u"日本"_s, boldTahoma},
                  {u"MS"_s, Chars(u"MS Gothic"_s, 9)},
                  {u"é"_s, keptWestern}});
    const std::string rtf = WriteRtf(document);
    // Rows of the font table: an ASCII run in a Western face is Western; Shift-JIS text needs
    // the Japanese set, even in the same face; a Japanese face spelled in ASCII stays Japanese;
    // a set read with the face is kept.
    for (const char* entry :
         {"{\\f0\\fnil\\fcharset0 Tahoma;}", "{\\f1\\fnil\\fcharset128 Tahoma;}",
          "{\\f2\\fnil\\fcharset128 MS Gothic;}", "{\\f3\\fnil\\fcharset0 Calibri;}"}) {
        QVERIFY2(rtf.find(entry) != std::string::npos, rtf.c_str());
    }
    QVERIFY(rtf.find(R"(\f3\fs22\'e9\par)") != std::string::npos);
}

void RtfTest::roundTrip() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat gothic = Chars(u"ＭＳ Ｐゴシック"_s, 9);
    QTextCharFormat styled = Chars(u"ＭＳ 明朝"_s, 10.5);
    styled.setFontWeight(QFont::Bold);
    styled.setFontItalic(true);
    styled.setFontUnderline(true);
    styled.setForeground(QColor(0x12, 0x34, 0x56));
    QTextCharFormat marked = Chars(u"ＭＳ 明朝"_s, 10.5);
    marked.setFontStrikeOut(true);
    marked.setBackground(QColor(255, 255, 0));
    marked.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    QTextCharFormat western = Chars(u"Arial"_s, 20);
    western.setForeground(QColor(255, 0, 0));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    QTextBlockFormat indented;
    indented.setAlignment(Qt::AlignHCenter);
    indented.setTextIndent(-8);
    AddParagraph(
        cursor, {},
        {{u"日記 𠮷と😀、～①"_s, gothic}, {u"太字{斜体}\\下線"_s, styled}, {u"取消"_s, marked}});
    AddParagraph(cursor, right, {{u"Café\ttab"_s, western}});
    AddParagraph(cursor, indented, {{u"字下げ\u2028二行目"_s, gothic}});
    AddParagraph(cursor, {}, {});

    QTextDocument back;
    ReadRtf(WriteRtf(document), back);
    QCOMPARE(Paragraphs(back), Paragraphs(document));
    QCOMPARE(back.blockCount(), document.blockCount());
    for (QTextBlock a = document.begin(), b = back.begin(); a.isValid();
         a = a.next(), b = b.next()) {
        QCOMPARE(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 a.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
        QCOMPARE(b.blockFormat().textIndent(), a.blockFormat().textIndent());
        for (int i = 0; i < a.length() - 1; ++i) {
            QTextCursor ca(a);
            QTextCursor cb(b);
            ca.setPosition(a.position() + i + 1);
            cb.setPosition(b.position() + i + 1);
            const QTextCharFormat fa = ca.charFormat();
            const QTextCharFormat fb = cb.charFormat();
            const QByteArray where = a.text().left(i + 1).toUtf8();
            QVERIFY2(Family(fb) == Family(fa), where);
            QVERIFY2(fb.fontPointSize() == fa.fontPointSize(), where);
            QVERIFY2(fb.fontWeight() == fa.fontWeight(), where);
            QVERIFY2(fb.fontItalic() == fa.fontItalic(), where);
            QVERIFY2(fb.fontUnderline() == fa.fontUnderline(), where);
            QVERIFY2(fb.foreground() == fa.foreground(), where);
            QVERIFY2(fb.background() == fa.background(), where);
            QVERIFY2(fb.fontStrikeOut() == fa.fontStrikeOut(), where);
            QVERIFY2(fb.verticalAlignment() == fa.verticalAlignment(), where);
        }
    }
}

void RtfTest::rewriteIsStable_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("japanese") << u"rtf-japanese.rtf"_s;
    QTest::newRow("western") << u"rtf-western.rtf"_s;
    QTest::newRow("formats") << u"rtf-formats.rtf"_s;
}

// Reading what was written gives the same document, so a second save writes the same bytes.
// Found by fuzzing: a link target's bytes under a Western font.
void RtfTest::linkTargetRewriteIsStable() {
    const std::string rtf =
        R"({\rtf1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset128 J;}}\f0 a{\f1{\field{\*\fldinst{HYPERLINK "x\'d5y"}}{\fldrslt b}}})";
    QTextDocument first;
    ReadRtf(rtf, first);
    const std::string once = WriteRtf(first);
    QTextDocument second;
    ReadRtf(once, second);
    QCOMPARE(FormatAt(second, u"b"_s).anchorHref(), u"xﾕy"_s);
    QCOMPARE(WriteRtf(second), once);
}

// Found by fuzzing: adjacent links whose targets differ only in what a written instruction
// cannot carry stay two links after a rewrite.
void RtfTest::adjacentLinksRewriteIsStable() {
    const std::string rtf =
        "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"a\\tab b\"}{\\fldrslt x}}"
        "{\\field{\\*\\fldinst HYPERLINK \"ab\"}{\\fldrslt y}}{\\field{\\*\\fldinst HYPERLINK "
        "a\"b}{\\fldrslt z}}}";
    QTextDocument first;
    ReadRtf(rtf, first);
    QCOMPARE(FormatAt(first, u"x"_s).anchorHref(), u"ab"_s);
    QCOMPARE(FormatAt(first, u"z"_s).anchorHref(), u"a%22b"_s);
    const std::string once = WriteRtf(first);
    QTextDocument second;
    ReadRtf(once, second);
    QCOMPARE(WriteRtf(second), once);
}

// Found by fuzzing: a tab in a link target, which the instruction cannot carry.
void RtfTest::linkTargetWithTabRewriteIsStable() {
    QTextDocument first;
    QTextCursor cursor(&first);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(u"mailto:x\t@example.com"_s);
    cursor.insertText(u"mail"_s, link);
    const std::string once = WriteRtf(first);
    QTextDocument second;
    ReadRtf(once, second);
    QCOMPARE(FormatAt(second, u"mail"_s).anchorHref(), u"mailto:x@example.com"_s);
    QCOMPARE(WriteRtf(second), once);
}

void RtfTest::fuzzFindingsRewriteIsStable_data() {
    QTest::addColumn<QByteArray>("rtf");
    // Found by fuzzing, each a second write that differed from the first.
    QTest::newRow("cell edges beyond the widest page") << QByteArray(
        R"({\rtf1\trowd\cellx999999\cellx999999\pard\intbl a\cell b\cell c\cell\row})");
    QTest::newRow("hidden runs that differ only in what is not written")
        << QByteArray(R"({\rtf1{\fonttbl{\f0 A;}{\f1 A;}}{\v\f0 a}{\v\f1 b}})");
    QTest::newRow("hidden runs that are written alike")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset0 A;}{\f1 A;}}{\v\f0 ab}{\v\f1 cd}})");
    QTest::newRow("a combining mark after a letter in code page 1258")
        << QByteArray(R"({\rtf1{\fonttbl{\f1\fcharset163 V;}}\f1 s{}\'f2})");
    QTest::newRow("a picture cut short inside a control symbol")
        << QByteArray("{\\rtf1 a{\\pict 01\\");
    QTest::newRow("a picture cut short without its closing braces")
        << QByteArray("{\\rtf1 a{\\pict{\\*\\picprop 01");
    QTest::newRow("an object word after an optional group of a control symbol") << QByteArray(
        "{\\rtf1 41{\\*\\\x87"
        "en}\\object b}");
    QTest::newRow("a picture word after an optional group of text")
        << QByteArray(R"({\rtf1 a{\*\~x}\pict b})");
    QTest::newRow("rows of differing left edges") << QByteArray(
        R"({\rtf1\trowd\trleft-108\cellx500\pard\intbl a\cell\row\trowd\trleft200\cellx900\pard\intbl b\cell\row})");
}

void RtfTest::fuzzFindingsRewriteIsStable() {
    QFETCH(QByteArray, rtf);
    QTextDocument first;
    ReadRtf(Bytes(rtf), first);
    const std::string once = WriteRtf(first);
    QTextDocument second;
    ReadRtf(once, second);
    const std::string twice = WriteRtf(second);
    QCOMPARE(twice, once);
    QTextDocument third;
    ReadRtf(twice, third);
    QCOMPARE(DocumentSignature(third), DocumentSignature(second));
}

void RtfTest::rewriteIsStable() {
    QFETCH(QString, file);
    QTextDocument first;
    ReadRtf(Fixture(file.toLatin1().constData()), first);
    const std::string once = WriteRtf(first);
    QTextDocument second;
    ReadRtf(once, second);
    QCOMPARE(Paragraphs(second), Paragraphs(first));
    QCOMPARE(WriteRtf(second), once);
}

void RtfTest::plainTextForField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    // The text field's rule: CR LF between lines, blanks and control characters trimmed.
    QTest::newRow("paragraphs") << u"a\nb"_s << u"a\r\nb"_s;
    QTest::newRow("line break") << u"a\u2028b"_s << u"a\r\nb"_s;
    QTest::newRow("ends trimmed") << u" \t\na b\n\n"_s << u"a b"_s;
    QTest::newRow("ideographic space kept") << u"\u3000a"_s << u"\u3000a"_s;
    QTest::newRow("blank") << u"\n \n"_s << QString();
    QTest::newRow("objects are no text") << u"a\uFFFCb\n\uFFFC"_s << u"ab"_s;
}

void RtfTest::plainTextForField() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QTextDocument document;
    document.setPlainText(text);
    QCOMPARE(PlainTextForField(document), field);
}

void RtfTest::fixturesSurviveAnEdit_data() {
    QTest::addColumn<QString>("file");
    for (const char* file :
         {"rtf-japanese.rtf", "rtf-western.rtf", "rtf-formats.rtf", "rtf-lists.rtf",
          "rtf-links.rtf", "rtf-spacing.rtf", "rtf-charsets.rtf", "rtf-table.rtf",
          "rtf-pictures.rtf", "rtf-mixed.rtf"}) {
        QTest::newRow(file) << QString::fromLatin1(file);
    }
}

// A body read, edited by a character typed in its first paragraph, written and read again is
// what the editor showed; a second write gives the same bytes.
void RtfTest::fixturesSurviveAnEdit() {
    QFETCH(QString, file);
    QTextDocument document;
    ReadRtf(Fixture(file.toLatin1().constData()), document);
    QTextCursor cursor(&document);
    cursor.setPosition(1);
    cursor.insertText(u"x"_s);
    const std::string once = WriteRtf(document);
    QTextDocument back;
    ReadRtf(once, back);
    QCOMPARE(DocumentSignature(back), DocumentSignature(document));
    QCOMPARE(WriteRtf(back), once);
}

void RtfTest::listsRead_data() {
    QTest::addColumn<int>("paragraph");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("sameListAs");  // an earlier paragraph in the same Qt list, or -1
    // rtf-lists.rtf: the \pn form, then \ls with the list tables.
    QTest::newRow("plain paragraph") << 0 << u"Intro"_s << 0 << 0 << -1;
    QTest::newRow("\\pnlvlblt bullet")
        << 1 << u"あい"_s << int(QTextListFormat::ListDisc) << 1 << -1;
    QTest::newRow("bullet kept to \\pard")
        << 2 << u"Milk"_s << int(QTextListFormat::ListDisc) << 1 << 1;
    QTest::newRow("\\pndec") << 3 << u"First"_s << int(QTextListFormat::ListDecimal) << 1 << -1;
    QTest::newRow("numbered continues")
        << 4 << u"Second"_s << int(QTextListFormat::ListDecimal) << 1 << 3;
    QTest::newRow("\\pnucrm") << 5 << u"Roman"_s << int(QTextListFormat::ListUpperRoman) << 1 << -1;
    QTest::newRow("\\pard ends the list") << 6 << u"End of pn"_s << 0 << 0 << -1;
    QTest::newRow("\\ls levelnfc0")
        << 7 << u"One"_s << int(QTextListFormat::ListDecimal) << 1 << -1;
    QTest::newRow("\\ilvl1 levelnfc4")
        << 8 << u"Sub"_s << int(QTextListFormat::ListLowerAlpha) << 2 << -1;
    QTest::newRow("\\ls levelnfc23 bullet")
        << 9 << u"Dot"_s << int(QTextListFormat::ListDisc) << 1 << -1;
    QTest::newRow("after the lists") << 10 << u"End"_s << 0 << 0 << -1;
}

void RtfTest::listsRead() {
    QFETCH(int, paragraph);
    QFETCH(QString, text);
    QFETCH(int, style);
    QFETCH(int, level);
    QFETCH(int, sameListAs);
    QTextDocument document;
    ReadRtf(Fixture("rtf-lists.rtf"), document);
    QCOMPARE(document.blockCount(), 11);
    const QTextBlock block = document.findBlockByNumber(paragraph);
    QCOMPARE(block.text(), text);
    const QTextList* list = block.textList();
    QCOMPARE(list != nullptr ? int(list->format().style()) : 0, style);
    QCOMPARE(list != nullptr ? list->format().indent() : 0, level);
    if (sameListAs >= 0) {
        QCOMPARE(document.findBlockByNumber(sameListAs).textList(), list);
    }
    if (list != nullptr) {
        // The text stands where the RTF put it: the list's indent and the rest as margin.
        QCOMPARE(block.blockFormat().textIndent(), 0.0);
        QCOMPARE(block.blockFormat().leftMargin() + level * document.indentWidth(),
                 std::max(level * document.indentWidth(), level * 1440.0 / 2 / kTwipsPerPixel));
    }
}

void RtfTest::listsWritten() {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(u"Dot"_s, Chars(u"Arial"_s, 10));
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.createList(bullets);
    cursor.insertBlock();
    cursor.insertText(u"Two"_s);
    cursor.insertBlock(QTextBlockFormat());
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListLowerAlpha);
    numbers.setIndent(2);
    cursor.createList(numbers);
    cursor.insertText(u"Sub"_s);
    const std::string rtf = WriteRtf(document);
    // The \pn form with the marker as \pntext for readers that do not number.
    for (
        const char* expected :
        {R"({\f1\fnil\fcharset2 Symbol;})",
         R"(\pard\fi-360\li600{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}\f0\fs20 Dot\par)",
         R"({\pntext\f1\'b7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}Two\par)",
         R"(\pard\fi-360\li1200{\pntext a.\tab}{\*\pn\pnlvl2\pnindent0\pnstart1\pnlcltr{\pntxta .}})"}) {
        QVERIFY2(rtf.find(expected) != std::string::npos, (expected + ("\n" + rtf)).c_str());
    }
}

void RtfTest::linksKept() {
    QTextDocument document;
    ReadRtf(Fixture("rtf-links.rtf"), document);
    QCOMPARE(Paragraphs(document), u"See the site and mail now.\n7 plain field"_s);
    QCOMPARE(FormatAt(document, u"the site"_s).anchorHref(), u"https://example.com/a?b=1"_s);
    QVERIFY(FormatAt(document, u"the site"_s).fontUnderline());
    QCOMPARE(FormatAt(document, u"mail"_s).anchorHref(), u"mailto:x@example.com"_s);
    QVERIFY(!FormatAt(document, u" and"_s).isAnchor());
    QVERIFY(!FormatAt(document, u"7"_s).isAnchor());
    const std::string rtf = WriteRtf(document);
    QVERIFY2(rtf.find("{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/a?b=1\"}}"
                      "{\\fldrslt{\\ul\\cf1 the site}}} and ") != std::string::npos,
             rtf.c_str());
}

void RtfTest::spacingAndTabsKept() {
    QTextDocument document;
    ReadRtf(Fixture("rtf-spacing.rtf"), document);
    const QTextBlockFormat wordPad = document.findBlockByNumber(0).blockFormat();
    QCOMPARE(wordPad.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(wordPad.lineHeight(), 115.0);
    QCOMPARE(wordPad.bottomMargin(), 200 / kTwipsPerPixel);
    const QTextBlockFormat exact = document.findBlockByNumber(1).blockFormat();
    QCOMPARE(exact.lineHeightType(), int(QTextBlockFormat::FixedHeight));
    QCOMPARE(exact.lineHeight(), 24.0);
    const QTextBlockFormat least = document.findBlockByNumber(2).blockFormat();
    QCOMPARE(least.lineHeightType(), int(QTextBlockFormat::MinimumHeight));
    QCOMPARE(least.lineHeight(), 20.0);
    const QList<QTextOption::Tab> tabs = document.findBlockByNumber(3).blockFormat().tabPositions();
    QCOMPARE(tabs.size(), 4);
    QCOMPARE(tabs[0].position, 96.0);
    QCOMPARE(tabs[0].type, QTextOption::LeftTab);
    QCOMPARE(tabs[1].type, QTextOption::CenterTab);
    QCOMPARE(tabs[2].type, QTextOption::RightTab);
    QCOMPARE(tabs[2].position, 576.0);
    QCOMPARE(tabs[3].type, QTextOption::DelimiterTab);
    const std::string rtf = WriteRtf(document);
    for (const char* expected : {R"(\pard\sa200\sl276\slmult1\f0)",
                                 R"(\pard\sb120\sl-360\slmult0 Exact)", R"(\pard\sl300\slmult0 At)",
                                 R"(\pard\tx1440\tqc\tx4320\tqr\tx8640\tqdec\tx9000 a\tab)"}) {
        QVERIFY2(rtf.find(expected) != std::string::npos, rtf.c_str());
    }
}

// A face of the file that this computer lacks is shown in the installed face standing in for it,
// and written back under its own name unless the run was given another face.
void RtfTest::facesStoodInForKeepTheirName_data() {
    QTest::addColumn<QString>("newFace");
    QTest::addColumn<bool>("keptName");
    QTest::newRow("untouched") << QString() << true;
    QTest::newRow("given another face") << u"Velmora Chosen Face"_s << false;
}

void RtfTest::facesStoodInForKeepTheirName() {
    QFETCH(QString, newFace);
    QFETCH(bool, keptName);
    const QString lacked = u"Velmora Lacked Face"_s;
    const QString installed = QFontDatabase::families().value(0);
    QVERIFY(!installed.isEmpty());
    QFont::insertSubstitution(lacked, installed);
    QTextDocument document;
    ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Velmora Lacked Face;}}\\f0\\fs20 Diary\\par}",
            document);
    QFont::removeSubstitutions(lacked);
    QCOMPARE(Family(FormatAt(document, u"Diary"_s)).toLower(), installed.toLower());
    if (!newFace.isEmpty()) {
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        QTextCharFormat face;
        face.setFontFamilies(QStringList{newFace});
        all.mergeCharFormat(face);
    }
    const std::string rtf = WriteRtf(document);
    const std::string written = (keptName ? lacked : newFace).toStdString();
    QVERIFY2(rtf.find(written + ";") != std::string::npos, rtf.c_str());
    QVERIFY2(rtf.find(installed.toStdString() + ";") == std::string::npos, rtf.c_str());
}

void RtfTest::charsetsKept_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QByteArray>("bytes");
    // rtf-charsets.rtf: each face keeps its set, and its text its code page's bytes.
    QTest::newRow("Greek") << u"Αθί"_s << QByteArray(R"(\fcharset161 Arial Greek;)")
                           << QByteArray(R"(\'c1\'e8\'df)");
    QTest::newRow("Cyrillic") << u"Привет"_s << QByteArray(R"(\fcharset204 Arial Cyr;)")
                              << QByteArray(R"(\'cf\'f0\'e8\'e2\'e5\'f2)");
    QTest::newRow("Chinese") << u"中文"_s << QByteArray(R"(\fcharset134 SimSun;)")
                             << QByteArray(R"(\'d6\'d0\'ce\'c4)");
    QTest::newRow("Western") << u"Café £¢¬"_s << QByteArray(R"(\fcharset0 Arial;)")
                             << QByteArray(R"(Caf\'e9 \'a3\'a2\'ac)");
}

void RtfTest::charsetsKept() {
    QFETCH(QString, text);
    QFETCH(QByteArray, entry);
    QFETCH(QByteArray, bytes);
    QTextDocument document;
    ReadRtf(Fixture("rtf-charsets.rtf"), document);
    QVERIFY(!document.find(text).isNull());
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u"。"_s);
    const std::string rtf = WriteRtf(document);
    QVERIFY2(rtf.find(Bytes(entry)) != std::string::npos, rtf.c_str());
    QVERIFY2(rtf.find(Bytes(bytes)) != std::string::npos, rtf.c_str());
}

void RtfTest::exactCharacters_data() {
    QTest::addColumn<QString>("text");
    // Characters typed on Linux whose Shift-JIS look-alikes are other characters, and DEL.
    for (const char16_t c :
         {u'\u2014', u'\u00a3', u'\u00a2', u'\u00ac', u'\u2016', u'\u2212', u'\u301c', u'\u007f'}) {
        QTest::newRow(qPrintable(u"U+%1"_s.arg(int(c), 4, 16, QChar(u'0')))) << QString(QChar(c));
    }
}

void RtfTest::exactCharacters() {
    QFETCH(QString, text);
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(u"日"_s + text + u"本"_s, Chars(u"ＭＳ 明朝"_s, 10.5));
    const std::string rtf = WriteRtf(document);
    const std::string unicode = "\\u" + std::to_string(text[0].unicode());
    QVERIFY2(rtf.find(unicode) != std::string::npos, rtf.c_str());
    QTextDocument back;
    ReadRtf(rtf, back);
    QCOMPARE(back.toPlainText(), u"日"_s + text + u"本"_s);
    // The stand-in takes the place of the character alone: the next one follows whole.
    QVERIFY(rtf.find(R"(\'96\'7b\par)") != std::string::npos);
}

int RunRtfTest(int argc, char** argv) {
    RtfTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RtfTest.moc"

void RtfTest::tableRead_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");  // the cell's paragraphs joined with '\n'
    QTest::addColumn<int>("rowSpan");
    QTest::addColumn<int>("columnSpan");
    // rtf-table.rtf: a header row, a cell of two paragraphs, a cell merged down (\clvmgf,
    // \clvmrg), and a last row whose first cell ends at the second column's edge.
    QTest::newRow("header") << 0 << 0 << u"品名"_s << 1 << 1;
    QTest::newRow("header, last cell") << 0 << 2 << u"備考"_s << 1 << 1;
    QTest::newRow("two paragraphs in a cell") << 1 << 2 << u"赤い\n甘い"_s << 2 - 1 << 1;
    QTest::newRow("merged down") << 1 << 1 << u"3"_s << 2 << 1;
    QTest::newRow("covered by the cell above") << 2 << 1 << u"3"_s << 2 << 1;
    QTest::newRow("spans two columns") << 3 << 0 << u"合計"_s << 1 << 2;
    QTest::newRow("after the wide cell") << 3 << 2 << u"8"_s << 1 << 1;
}

QString CellText(const QTextTableCell& cell) {
    QStringList texts;
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        texts << it.currentBlock().text();
    }
    return texts.join(u'\n');
}

const QTextTable* FirstTable(const QTextDocument& document, int skip = 0) {
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame); table != nullptr && skip-- == 0) {
            return table;
        }
    }
    qFatal("no table");
}

void RtfTest::tableRead() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(int, rowSpan);
    QFETCH(int, columnSpan);
    QTextDocument document;
    ReadRtf(Fixture("rtf-table.rtf"), document);
    const QTextTableCell cell = FirstTable(document)->cellAt(row, column);
    QCOMPARE(CellText(cell), text);
    QCOMPARE(cell.rowSpan(), rowSpan);
    QCOMPARE(cell.columnSpan(), columnSpan);
}

void RtfTest::tableShape() {
    QTextDocument document;
    ReadRtf(Fixture("rtf-table.rtf"), document);
    const QTextTable* table = FirstTable(document);
    QCOMPARE(table->rows(), 4);
    QCOMPARE(table->columns(), 3);
    const QTextTableFormat format = table->format();
    // Column widths from the cell edges, measured from \trleft-108.
    const QList<QTextLength> widths = format.columnWidthConstraints();
    QCOMPARE(widths.size(), 3);
    QCOMPARE(widths[0].rawValue(), 1908 / kTwipsPerPixel);
    QCOMPARE(widths[1].rawValue(), 1800 / kTwipsPerPixel);
    QCOMPARE(widths[1].type(), QTextLength::FixedLength);
    QVERIFY(format.border() >= 1);
    QCOMPARE(format.cellPadding(), 108 / kTwipsPerPixel);
    QCOMPARE(FormatAt(document, u"赤い"_s).fontWeight(), int(QFont::Bold));
    QCOMPARE(
        QTextCursor(document.find(u"合計"_s)).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
        Qt::AlignRight);
    // A table without borders, its tab kept in the cell.
    const QTextTable* plain = FirstTable(document, 1);
    QCOMPARE(plain->format().border(), 0.0);
    QCOMPARE(CellText(plain->cellAt(0, 0)), u"x\ty"_s);
    QCOMPARE(PlainTextForField(document).split(u"\r\n"_s).mid(1, 4),
             QStringList({u"品名\t数\t備考"_s, u"りんご\t3\t赤い 甘い"_s, u"みかん\t\t黄色"_s,
                          u"合計\t8"_s}));
}

// A table made in the editor is written as rows of cells and read back the same.
void RtfTest::tableWritten() {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(u"Top"_s);
    QTextTableFormat format;
    format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100),
                                      QTextLength(QTextLength::PercentageLength, 20)});
    format.setBorder(2);
    QTextTable* table = cursor.insertTable(2, 2, format);
    table->cellAt(0, 0).firstCursorPosition().insertText(u"a"_s);
    table->cellAt(1, 1).firstCursorPosition().insertText(u"d"_s);
    table->mergeCells(0, 0, 2, 1);
    const std::string rtf = WriteRtf(document);
    for (const char* expected :
         {R"(\trowd\trgaph0\trleft0\clvmgf\clbrdrt\brdrw30\brdrs\clbrdrl\brdrw30\brdrs)",
          R"(\cellx1500\clbrdrt\brdrw30\brdrs)", R"(\cellx3428)",
          R"(\trowd\trgaph0\trleft0\clvmrg)", R"(\pard\intbl\cell\pard\intbl)", R"(d\cell)",
          R"(\row)"}) {
        QVERIFY2(rtf.find(expected) != std::string::npos, (expected + ("\n" + rtf)).c_str());
    }
    QTextDocument back;
    ReadRtf(rtf, back);
    const QTextTable* read = FirstTable(back);
    QCOMPARE(read->rows(), 2);
    QCOMPARE(read->cellAt(1, 0).rowSpan(), 2);
    QCOMPARE(CellText(read->cellAt(0, 0)), u"a"_s);
    QCOMPARE(CellText(read->cellAt(1, 1)), u"d"_s);
    QCOMPARE(WriteRtf(back), rtf);
}

void RtfTest::picturesRead_data() {
    QTest::addColumn<int>("paragraph");
    QTest::addColumn<QSizeF>("shown");  // pixels
    QTest::addColumn<QSize>("drawn");   // the image's own pixels; a placeholder's differ
    QTest::addColumn<bool>("placeholder");
    // rtf-pictures.rtf, one picture per paragraph.
    QTest::newRow("PNG at \\picwgoal") << 0 << QSizeF(40, 30) << QSize(4, 3) << false;
    QTest::newRow("JPEG") << 1 << QSizeF(5, 2) << QSize(5, 2) << false;
    QTest::newRow("WMF") << 2 << QSizeF(100, 50) << QSize(100, 50) << true;
    QTest::newRow("EMF from its HIMETRIC size")
        << 3 << QSizeF(566 / kTwipsPerPixel, 283 / kTwipsPerPixel) << QSize(38, 19) << true;
    QTest::newRow("shape picture scaled, its WMF copy with it")
        << 4 << QSizeF(20, 15) << QSize(4, 3) << false;
    QTest::newRow("object at \\objw") << 5 << QSizeF(120, 60) << QSize(120, 60) << true;
}

void RtfTest::picturesRead() {
    QFETCH(int, paragraph);
    QFETCH(QSizeF, shown);
    QFETCH(QSize, drawn);
    QFETCH(bool, placeholder);
    QTextDocument document;
    ReadRtf(Fixture("rtf-pictures.rtf"), document);
    const QTextBlock block = document.findBlockByNumber(paragraph);
    QCOMPARE(block.text().count(QChar::ObjectReplacementCharacter), 1);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    QVERIFY(image.isValid());
    QCOMPARE(image.width(), shown.width());
    QCOMPARE(image.height(), shown.height());
    const QImage resource =
        document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    QCOMPARE(resource.size(), drawn);
    // A placeholder is grey; the fixtures' pictures are red and blue.
    QCOMPARE(QColor(resource.pixel(resource.width() / 2, resource.height() / 2)).saturation() == 0,
             placeholder);
}

// Whatever was kept comes out as the very bytes it was read from, after an edit elsewhere.
void RtfTest::keptGroupsWrittenUnchanged() {
    const std::string fixture = Fixture("rtf-pictures.rtf");
    QTextDocument document;
    ReadRtf(fixture, document);
    QTextCursor cursor(&document);
    cursor.insertText(u"編集"_s);
    const std::string rtf = WriteRtf(document);
    for (const char* start :
         {"{\\pict{\\*\\picprop}\\pngblip", "{\\pict\\jpegblip", "{\\pict\\wmetafile8",
          "{\\pict\\emfblip", "{\\*\\shppict", "{\\object", "{\\footnote"}) {
        const size_t at = fixture.find(start);
        QVERIFY(at != std::string::npos);
        int unclosed = 0;
        std::string group = fixture.substr(at, GroupEnd(fixture, at, unclosed) - at);
        if (group.starts_with("{\\*\\shppict")) {
            group +=
                fixture.substr(at + group.size(), fixture.find("\\par", at) - at - group.size());
        }
        QVERIFY2(rtf.find(group) != std::string::npos, start);
    }
    QVERIFY(HoldsMoreThanText(document));
    QTextDocument plain;
    plain.setPlainText(u"text"_s);
    QVERIFY(!HoldsMoreThanText(plain));
}

void RtfTest::hiddenTextWrittenInItsGroup() {
    QTextDocument document;
    ReadRtf(
        R"({\rtf1{\fonttbl{\f0\fnil\fcharset0 Arial;}}\f0\fs20 a\v\b secret\v0\b0 b{\deleted gone}c\par})",
        document);
    QCOMPARE(PlainTextForField(document), u"abc"_s);
    const std::string rtf = WriteRtf(document);
    QVERIFY2(rtf.find(R"(a{\v\b secret}b{\deleted gone}c\par)") != std::string::npos, rtf.c_str());
}

void RtfTest::textTakingAnObjectsFormatIsText_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("kept");
    QTest::newRow("picture") << QByteArray(R"({\rtf1 a{\pict\wmetafile8 01}\par})")
                             << QByteArray(R"({\pict\wmetafile8 01})");
    QTest::newRow("hidden text") << QByteArray(R"({\rtf1 a{\v h}\par})") << QByteArray(R"({\v h})");
}

// Text inserted right after an object takes the object's format, properties and all; it is
// written as text, and the object once.
void RtfTest::textTakingAnObjectsFormatIsText() {
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, kept);
    QTextDocument document;
    ReadRtf(Bytes(rtf), document);
    QTextCursor cursor(&document);
    cursor.setPosition(2);
    QTextCharFormat format = cursor.charFormat();
    format.clearProperty(QTextFormat::ObjectType);
    cursor.insertText(u"xy"_s, format);
    const std::string written = WriteRtf(document);
    const size_t at = written.find(Bytes(kept));
    QVERIFY2(at != std::string::npos, written.c_str());
    QCOMPARE(written.find(Bytes(kept), at + 1), std::string::npos);
    QVERIFY2(written.find("xy\\par") != std::string::npos, written.c_str());
}

namespace {

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage RedImage() {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

QByteArray Dib(const QImage& image) {
    return Encoded(image, "BMP").mid(14);  // a BMP file without its file header
}

// An SVG that draws the picture file at path: an SVG decoder opens it.
QByteArray SvgNaming(const QString& path) {
    return u"<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"20\" height=\"20\">"
           "<image x=\"0\" y=\"0\" width=\"20\" height=\"20\" xlink:href=\"%1\"/></svg>"_s.arg(path)
               .toUtf8();
}

std::string PictureRtf(const char* word, const QByteArray& bytes) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}}\\f0{\\pict\\" + std::string(word) +
           "\\picw20\\pich20 " + Bytes(bytes.toHex()) + "}\\par}";
}

// The picture the first paragraph shows.
QImage ShownPicture(const QTextDocument& document) {
    QTextCursor cursor(document.begin());
    cursor.movePosition(QTextCursor::NextCharacter);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    return document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
}

bool IsRed(const QImage& image) {
    const QColor centre(image.pixel(image.width() / 2, image.height() / 2));
    return centre.red() > 200 && centre.green() < 60 && centre.blue() < 60;
}

// A PNG's chunk with its length and check sum.
QByteArray PngChunk(const QByteArray& type, const QByteArray& data) {
    QByteArray chunk;
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk += static_cast<char>(data.size() >> shift & 0xff);
    }
    const QByteArray checked = type + data;
    uint32_t crc = 0xffffffffu;
    for (const char c : checked) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 1 ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
        }
    }
    crc ^= 0xffffffffu;
    chunk += checked;
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk += static_cast<char>(crc >> shift & 0xff);
    }
    return chunk;
}

// A black-and-white PNG of the given size, its rows all white: small whatever its size. Without
// its pixels it holds one row of them.
QByteArray BlankPng(quint32 width, quint32 height, bool withPixels) {
    QByteArray header;
    for (const quint32 value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header += static_cast<char>(value >> shift & 0xff);
        }
    }
    header += QByteArray("\x01\x00\x00\x00\x00", 5);  // 1 bit grey, no interlace
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n") + PngChunk("IHDR", header);
    QByteArray row(1 + (width + 7) / 8, '\xff');
    row[0] = 0;  // no filter
    // zlib data, without the length qCompress puts before it
    png += PngChunk("IDAT", qCompress(row.repeated(withPixels ? height : 1)).mid(4));
    return png + PngChunk("IEND", QByteArray());
}

}  // namespace

void RtfTest::pictureDecodeFormat_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("format");
    const QByteArray png = Encoded(RedImage(), "PNG");
    const QByteArray jpeg = Encoded(RedImage(), "JPEG");
    const QByteArray svg = SvgNaming(u"/dev/null"_s);
    QTest::newRow("PNG") << u"PNG"_s << png << QByteArray("png");
    QTest::newRow("JPEG") << u"JPEG"_s << jpeg << QByteArray("jpeg");
    QTest::newRow("JPEG bytes under \\pngblip") << u"PNG"_s << jpeg << QByteArray("jpeg");
    QTest::newRow("PNG bytes under \\jpegblip") << u"JPEG"_s << png << QByteArray("png");
    QTest::newRow("BMP file") << u"BMP"_s << Encoded(RedImage(), "BMP") << QByteArray("bmp");
    QTest::newRow("DIB") << u"DIB"_s << Dib(RedImage()) << QByteArray("dib");
    QTest::newRow("SVG under \\pngblip") << u"PNG"_s << svg << QByteArray();
    QTest::newRow("SVG under \\jpegblip") << u"JPEG"_s << svg << QByteArray();
    QTest::newRow("compressed SVG") << u"PNG"_s << qCompress(svg) << QByteArray();
    QTest::newRow("XPM under \\pngblip") << u"PNG"_s << Encoded(RedImage(), "XPM") << QByteArray();
    QTest::newRow("GIF under \\pngblip")
        << u"PNG"_s << QByteArray("GIF89a\x01\x00\x01\x00") << QByteArray();
    QTest::newRow("BMP file under \\pngblip")
        << u"PNG"_s << Encoded(RedImage(), "BMP") << QByteArray();
    QTest::newRow("PNG as DIB") << u"DIB"_s << png << QByteArray();
    QTest::newRow("PNG as WMF") << u"WMF"_s << png << QByteArray();
    QTest::newRow("PNG as EMF") << u"EMF"_s << png << QByteArray();
    QTest::newRow("empty") << u"PNG"_s << QByteArray() << QByteArray();
    QTest::newRow("no kind") << QString() << png << QByteArray();
}

void RtfTest::pictureDecodeFormat() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, format);
    QCOMPARE(PictureDecodeFormat(kind, bytes), format);
}

// A body's pictures are decoded from their own bytes, and only as a picture a body holds; any
// other content is a placeholder.
void RtfTest::picturesDecodedFromTheirBytes_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shown");
    QTest::newRow("PNG") << QByteArray("pngblip") << Encoded(RedImage(), "PNG") << true;
    QTest::newRow("JPEG") << QByteArray("jpegblip") << Encoded(RedImage(), "JPEG") << true;
    QTest::newRow("DIB") << QByteArray("dibitmap0") << Dib(RedImage()) << true;
    QTest::newRow("XPM under \\pngblip")
        << QByteArray("pngblip") << Encoded(RedImage(), "XPM") << false;
    QTest::newRow("PNG under \\wmetafile8")
        << QByteArray("wmetafile8") << Encoded(RedImage(), "PNG") << false;
    // The SVG names a red picture file; drawn, it would be red.
    QTest::newRow("SVG naming a file under \\pngblip")
        << QByteArray("pngblip") << QByteArray() << false;
    QTest::newRow("SVG naming a file under \\jpegblip")
        << QByteArray("jpegblip") << QByteArray() << false;
}

void RtfTest::picturesDecodedFromTheirBytes() {
    QFETCH(QByteArray, word);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shown);
    QTemporaryDir folder;
    if (bytes.isEmpty()) {
        const QString red = folder.filePath(u"red.png"_s);
        QVERIFY(RedImage().save(red, "PNG"));
        bytes = SvgNaming(red);
    }
    QTextDocument document;
    ReadRtf(PictureRtf(word.constData(), bytes), document);
    const QImage picture = ShownPicture(document);
    QVERIFY(!picture.isNull());
    QCOMPARE(IsRed(picture), shown);
}

// An SVG naming a FIFO would block the reader in open() for ever. The format is checked first,
// so that a regression fails here instead of hanging.
void RtfTest::pictureNamingAFifoDoesNotHang() {
    QTemporaryDir folder;
    const QString fifo = folder.filePath(u"fifo"_s);
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray svg = SvgNaming(fifo);
    QVERIFY(PictureDecodeFormat(u"PNG"_s, svg).isEmpty());
    QTextDocument document;
    ReadRtf(PictureRtf("pngblip", svg), document);
    QVERIFY(!IsRed(ShownPicture(document)));
}

// The size in a picture's header is checked before its pixels are decoded.
void RtfTest::picturesTooLargeRefused_data() {
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<bool>("decoded");
    QTest::newRow("100000 x 100000, header only") << BlankPng(100000, 100000, false) << false;
    QTest::newRow("too wide") << BlankPng(kMaxPictureSide + 1, 1, true) << false;
    QTest::newRow("too tall") << BlankPng(1, kMaxPictureSide + 1, true) << false;
    QTest::newRow("too many pixels") << BlankPng(6000, 6000, true) << false;
    QTest::newRow("widest") << BlankPng(kMaxPictureSide, 1, true) << true;
    QTest::newRow("a large photo") << BlankPng(6000, 5000, true) << true;
}

void RtfTest::picturesTooLargeRefused() {
    QFETCH(QByteArray, png);
    QFETCH(bool, decoded);
    QCOMPARE(PictureDecodeFormat(u"PNG"_s, png), QByteArray("png"));
    QCOMPARE(!DecodePicture(u"PNG"_s, png).isNull(), decoded);
}

void RtfTest::pictureFromMime_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("withImage");  // also an image put there in this program
    QTest::addColumn<bool>("red");
    const QByteArray svg = SvgNaming(u"/dev/null"_s);
    QTest::newRow("PNG") << u"image/png"_s << Encoded(RedImage(), "PNG") << false << true;
    QTest::newRow("JPEG") << u"image/jpeg"_s << Encoded(RedImage(), "JPEG") << false << true;
    QTest::newRow("BMP") << u"image/bmp"_s << Encoded(RedImage(), "BMP") << false << true;
    QTest::newRow("this program's image") << QString() << QByteArray() << true << true;
    QTest::newRow("SVG") << u"image/svg+xml"_s << svg << false << false;
    QTest::newRow("SVG beside an image") << u"image/svg+xml"_s << svg << true << false;
    QTest::newRow("SVG as PNG") << u"image/png"_s << svg << true << false;
    QTest::newRow("XPM") << u"image/x-xpixmap"_s << Encoded(RedImage(), "XPM") << false << false;
    QTest::newRow("nothing") << QString() << QByteArray() << false << false;
}

void RtfTest::pictureFromMime() {
    QFETCH(QString, type);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, withImage);
    QFETCH(bool, red);
    QMimeData source;
    if (!type.isEmpty()) {
        source.setData(type, bytes);
    }
    if (withImage) {
        source.setImageData(RedImage());
    }
    const QImage picture = PictureFromMime(source);
    QCOMPARE(!picture.isNull() && IsRed(picture), red);
}
