#include "richtext/BodyAgreement.h"

#include "bridge/TextCodec.h"
#include "richtext/BodyText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "storage/Cp932.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QtTest>

#include <string>

namespace {

using namespace Qt::StringLiterals;

std::string Fixture(const QString& name) {
    QFile file(QStringLiteral(VELMORA_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

TBodyAgreement Compare(const std::string& rtf, const std::string& field) {
    QTextDocument body;
    ReadRtf(rtf, body);
    return CompareBody(rtf, body, field);
}

// A field as a writer on Windows leaves it: CP932 with '?' for what the code page cannot hold.
std::string Windows(const QString& text) {
    return ToCp932(text);
}

}  // namespace

Q_DECLARE_METATYPE(TBodyAgreement)

class BodyAgreementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fixturesAgreeWithTheirFields_data();
    void fixturesAgreeWithTheirFields();
    void fixturesAgreeWithTheFieldWrittenHere_data();
    void fixturesAgreeWithTheFieldWrittenHere();
    void damagedBodiesAgreeWithTheFieldWrittenHere();
    void editedFieldsDiffer_data();
    void editedFieldsDiffer();
    void rules_data();
    void rules();
    void completeness_data();
    void completeness();
};

void BodyAgreementTest::fixturesAgreeWithTheirFields_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("field");
    // Fields as other writers leave them beside these bodies: the control's text with CR LF
    // paragraphs and VT line breaks, no list marks, '?' for pictures and for characters CP932
    // lacks, or a near character; or a word processor's text with bullets, numbers and tabs.
    QTest::newRow("japanese") << u"rtf-japanese.rtf"_s << u"今日は晴れ。\r\n表示～①髙ｱ"_s;
    QTest::newRow("western, stand-ins") << u"rtf-western.rtf"_s << u"Caf? ? 5日本 ?? ??\r\n??d?"_s;
    QTest::newRow("western, near characters")
        << u"rtf-western.rtf"_s << u"Cafe ? 5日本 ? ?\r\nlodz"_s;
    QTest::newRow("formats") << u"rtf-formats.rtf"_s
                             << u"晴れ\r\nWalk\r\nright\tend\vnext\r\n散歩"_s;
    QTest::newRow("lists, control's text")
        << u"rtf-lists.rtf"_s
        << u"Intro\r\nあい\r\nMilk\r\nFirst\r\nSecond\r\nRoman\r\nEnd of pn\r\nOne\r\nSub\r\nDot\r\nEnd"_s;
    QTest::newRow("lists, marks kept")
        << u"rtf-lists.rtf"_s
        << u"Intro\r\n・\tあい\r\n・\tMilk\r\n1.\tFirst\r\n2.\tSecond\r\nI.\tRoman\r\nEnd of pn\r\n"
           u"1.\tOne\r\na.\tSub\r\n●Dot\r\nEnd"_s;
    QTest::newRow("links") << u"rtf-links.rtf"_s
                           << u"See the site and mail now.\r\n7 plain field"_s;
    QTest::newRow("spacing") << u"rtf-spacing.rtf"_s
                             << u"WordPad\r\nExact\r\nAt least\r\na\tb\tc\td\t1.5"_s;
    QTest::newRow("charsets") << u"rtf-charsets.rtf"_s
                              << u"Αθι\r\nПривет\r\n中文\r\nCafe £¢¬\r\n―‖－～"_s;
    QTest::newRow("table, cells by tabs")
        << u"rtf-table.rtf"_s
        << u"Before\r\n品名\t数\t備考\r\nりんご\t3\t赤い\r\n甘い\r\nみかん\t\t黄色\r\n合計\t8\r\n"
           u"After\r\nPlain table:\r\nx\ty\tz"_s;
    QTest::newRow("table, the control's row marks")
        << u"rtf-table.rtf"_s
        << u"Before\r\n\uFFF9\r\n品名\a数\a備考\a\uFFFB\r\n\uFFF9\r\nりんご\a3\a赤い\r甘い\a\uFFFB"
           u"\r\n"
           u"\uFFF9\r\nみかん\a\a黄色\a\uFFFB\r\n合計\a8\a\r\nAfter\r\nPlain table:\r\nx\ty\az\a"_s;
    QTest::newRow("pictures as '?'")
        << u"rtf-pictures.rtf"_s
        << u"PNG: ?\r\nJPEG: ?\r\nWMF: ?\r\nEMF: ?\r\nWord: ?\r\nObject: ?\r\n"
           u"脚注?. Hidden: asecretb, deleted: gonec."_s;
    QTest::newRow("pictures left out")
        << u"rtf-pictures.rtf"_s
        << u"PNG:\r\nJPEG:\r\nWMF:\r\nEMF:\r\nWord:\r\nObject:\r\n脚注. Hidden: ab, deleted: c."_s;
    QTest::newRow("mixed") << u"rtf-mixed.rtf"_s
                           << u"買い物と旅行のメモ\r\n卵\r\n牛乳\r\n日\t行き先\r\n12/24\t京都\r\n"
                              u"地図はこちら。写真:\r\n?"_s;
}

void BodyAgreementTest::fixturesAgreeWithTheirFields() {
    QFETCH(QString, file);
    QFETCH(QString, field);
    QCOMPARE(Compare(Fixture(file), Windows(field)), TBodyAgreement::Agrees);
}

void BodyAgreementTest::fixturesAgreeWithTheFieldWrittenHere_data() {
    QTest::addColumn<QString>("file");
    for (const char* file :
         {"rtf-japanese.rtf", "rtf-western.rtf", "rtf-formats.rtf", "rtf-lists.rtf",
          "rtf-links.rtf", "rtf-spacing.rtf", "rtf-charsets.rtf", "rtf-table.rtf",
          "rtf-pictures.rtf", "rtf-mixed.rtf"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

// The field a save here writes beside a body (references for what CP932 lacks) agrees with it.
void BodyAgreementTest::fixturesAgreeWithTheFieldWrittenHere() {
    QFETCH(QString, file);
    const std::string rtf = Fixture(file);
    QTextDocument body;
    ReadRtf(rtf, body);
    QCOMPARE(CompareBody(rtf, body, ToCp932(PlainTextForField(body))), TBodyAgreement::Agrees);
}

// Whatever a body held, once written here it agrees with the field written beside it: a page of
// this program is never shown without its formatting. The bodies are the fixtures with bytes
// changed, cut or repeated at places a fixed seed picks.
void BodyAgreementTest::damagedBodiesAgreeWithTheFieldWrittenHere() {
    QRandomGenerator random(23);
    const char* const files[] = {"rtf-japanese.rtf", "rtf-western.rtf", "rtf-formats.rtf",
                                 "rtf-lists.rtf",    "rtf-links.rtf",   "rtf-spacing.rtf",
                                 "rtf-charsets.rtf", "rtf-table.rtf",   "rtf-pictures.rtf",
                                 "rtf-mixed.rtf"};
    for (int round = 0; round < 2000; ++round) {
        std::string rtf = Fixture(QString::fromLatin1(files[round % std::size(files)]));
        for (int change = random.bounded(1, 4); change > 0; --change) {
            const auto at = static_cast<size_t>(random.bounded(static_cast<int>(rtf.size())));
            switch (random.bounded(3)) {
                case 0:
                    rtf[at] = static_cast<char>(random.bounded(256));
                    break;
                case 1:
                    rtf.erase(at, static_cast<size_t>(random.bounded(1, 40)));
                    break;
                default:
                    rtf.insert(at, rtf.substr(at, static_cast<size_t>(random.bounded(1, 40))));
            }
        }
        QTextDocument read;
        ReadRtf(rtf, read);
        const std::string written = WriteRtf(read);
        QTextDocument body;
        ReadRtf(written, body);
        const std::string field = ToCp932(PlainTextForField(body));
        QVERIFY2(CompareBody(written, body, field) == TBodyAgreement::Agrees,
                 (written + "\n---\n" + field).c_str());
    }
}

void BodyAgreementTest::editedFieldsDiffer_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("cutAt");  // the RTF's length, cut short; -1 for whole
    QTest::addColumn<TBodyAgreement>("expected");
    // A text editor changed the field; the body kept the old text.
    QTest::newRow("a word replaced")
        << u"rtf-japanese.rtf"_s << u"今日は雨。\r\n表示～①髙ｱ"_s << -1 << TBodyAgreement::Differs;
    QTest::newRow("a line added") << u"rtf-formats.rtf"_s
                                  << u"晴れ\r\nWalk\r\nright\tend\r\nnext\r\n散歩\r\n夜は雨"_s << -1
                                  << TBodyAgreement::Differs;
    QTest::newRow("a line removed") << u"rtf-lists.rtf"_s
                                    << u"Intro\r\nあい\r\nMilk\r\nFirst\r\nSecond\r\nRoman\r\n"
                                       u"End of pn\r\nOne\r\nSub\r\nEnd"_s
                                    << -1 << TBodyAgreement::Differs;
    QTest::newRow("a cell changed")
        << u"rtf-mixed.rtf"_s
        << u"買い物と旅行のメモ\r\n卵\r\n牛乳\r\n日\t行き先\r\n12/25\t京都\r\n"
           u"地図はこちら。写真:"_s
        << -1 << TBodyAgreement::Differs;
    // A line cut inside its RTF: the field still holds the whole page.
    QTest::newRow("cut in the text")
        << u"rtf-formats.rtf"_s << u"晴れ\r\nWalk\r\nright\tend\r\nnext\r\n散歩"_s << 300
        << TBodyAgreement::Cut;
    QTest::newRow("cut inside a table")
        << u"rtf-table.rtf"_s
        << u"Before\r\n品名\t数\t備考\r\nりんご\t3\t赤い\r\n甘い\r\n"
           u"みかん\t\t黄色\r\n合計\t8\r\nAfter\r\nPlain table:\r\n"
           u"x\ty\tz"_s
        << 1000 << TBodyAgreement::Cut;
    // Cut after its last text: nothing is missing, the formatting stays.
    QTest::newRow("cut after the text") << u"rtf-japanese.rtf"_s << u"今日は晴れ。\r\n表示～①髙ｱ"_s
                                        << 371 << TBodyAgreement::Agrees;
}

void BodyAgreementTest::editedFieldsDiffer() {
    QFETCH(QString, file);
    QFETCH(QString, field);
    QFETCH(int, cutAt);
    QFETCH(TBodyAgreement, expected);
    std::string rtf = Fixture(file);
    if (cutAt >= 0) {
        QVERIFY(static_cast<size_t>(cutAt) < rtf.size());
        rtf.resize(static_cast<size_t>(cutAt));
    }
    QCOMPARE(Compare(rtf, Windows(field)), expected);
}

void BodyAgreementTest::rules_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("field");  // CP932 bytes
    QTest::addColumn<TBodyAgreement>("expected");
    const auto row = [](const char* name, const char* rtf, const std::string& field,
                        TBodyAgreement expected) {
        QTest::newRow(name) << QByteArray(rtf) << QByteArray::fromStdString(field) << expected;
    };
    using enum TBodyAgreement;
    row("blanks and line ends", R"({\rtf1 a b\par c\line d})", "ab\r\nc d", Agrees);
    row("ideographic space", R"({\rtf1 a\u12288?b})", "ab", Agrees);
    row("a letter changed", R"({\rtf1 It rained.\par})", "It snowed.", Differs);
    row("a digit changed", R"({\rtf1 in 1999.})", "in 2000.", Differs);
    row("text added at the end", R"({\rtf1 one.})", "one. two.", Differs);
    row("text removed", R"({\rtf1 one. two.})", "one.", Differs);
    row("cells swapped", R"({\rtf1\trowd\cellx100\cellx200\pard\intbl a\cell b\cell\row})", "b\ta",
        Differs);
    row("cells by tabs", R"({\rtf1\trowd\cellx100\cellx200\pard\intbl a\cell b\cell\row})", "a\tb",
        Agrees);
    row("bullet in the field", R"({\rtf1{\pntext\'b7\tab}milk\par})", Sjis("・milk"), Agrees);
    row("bullet CP932 lacks", R"({\rtf1 milk\par})", "&#x2022; milk", Agrees);
    row("number in the field", R"({\rtf1 First\par Second})", "1.\tFirst\r\n(2) Second", Agrees);
    row("number in the body", R"({\rtf1 1. First})", "First", Agrees);
    row("number before a no-break space", R"({\rtf1 1.\u160?First})", "First", Agrees);
    row("number that is text", R"({\rtf1 1.5 kg})", "5 kg", Differs);
    row("picture as '?'", R"({\rtf1 a{\pict\pngblip 89}b})", "a?b", Agrees);
    row("picture as a blank", R"({\rtf1 a{\pict\pngblip 89}b})", "a b", Agrees);
    row("stand-in '?'", R"({\rtf1 Caf\u233?})", "Caf?", Agrees);
    row("near character", R"({\rtf1 Caf\u233?})", "Cafe", Agrees);
    row("reference written here", R"({\rtf1 Caf\u233?})", "Caf&#xE9;", Agrees);
    row("left out", R"({\rtf1 Caf\u233?})", "Caf", Agrees);
    row("two letters for one", R"({\rtf1 Caf\u233?})", "Cafee", Differs);
    row("emoji as two '?'", R"({\rtf1 a\u-10179?\u-8704?b})", "a??b", Agrees);
    row("yen sign, as this program writes it", R"({\rtf1 \u165?100})", Sjis("¥100"), Agrees);
    row("raw byte of a damaged file before a letter", "\x86g932", "\x86g932", Agrees);
    row("twin of the wave dash", R"({\rtf1 \u65374?})", Sjis("～"), Agrees);
    row("hidden text left out", R"({\rtf1 a{\v secret}b})", "ab", Agrees);
    row("hidden text taken in", R"({\rtf1 a{\v secret}b})", "asecretb", Agrees);
    row("hidden text changed", R"({\rtf1 a{\v secret}b})", "aotherb", Differs);
    row("empty field", R"({\rtf1 text})", "", Agrees);
    row("field of blanks and stand-ins", R"({\rtf1 text})", " ? ", Agrees);
    row("plain body", "old text", "new text", Differs);
    row("plain body, same text", "same\r\ntext", "same text", Agrees);
    row("ampersand kept here", R"({\rtf1 a&#x41;})", "a&#x26;#x41;", Agrees);
    row("cut short", R"({\rtf1 one two thr)", "one two three", Cut);
}

void BodyAgreementTest::rules() {
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, field);
    QFETCH(TBodyAgreement, expected);
    QCOMPARE(Compare(rtf.toStdString(), field.toStdString()), expected);
}

void BodyAgreementTest::completeness_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("complete");
    QTest::newRow("closed") << QByteArray(R"({\rtf1 a})") << true;
    QTest::newRow("closed, then more") << QByteArray("{\\rtf1 a}\r\n\0", 12) << true;
    QTest::newRow("inner group open") << QByteArray(R"({\rtf1 {\b a})") << false;
    QTest::newRow("escaped brace") << QByteArray(R"({\rtf1 a\})") << false;
    QTest::newRow("escaped backslash") << QByteArray(R"({\rtf1 a\\})") << true;
    QTest::newRow("braces in binary data") << QByteArray(R"({\rtf1 {\*\x\bin2 }}}})") << true;
    QTest::newRow("binary data cut") << QByteArray(R"({\rtf1 \bin5 }})") << false;
    QTest::newRow("cut after a backslash") << QByteArray(R"({\rtf1 a\)") << false;
    QTest::newRow("not RTF") << QByteArray("{plain") << true;
    QTest::newRow("empty") << QByteArray() << true;
}

void BodyAgreementTest::completeness() {
    QFETCH(QByteArray, rtf);
    QFETCH(bool, complete);
    QCOMPARE(RtfComplete(rtf.toStdString()), complete);
}

int RunBodyAgreementTest(int argc, char** argv) {
    BodyAgreementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BodyAgreementTest.moc"
