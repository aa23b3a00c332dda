#include "mainwindow/RtfReader.h"

#include "mainwindow/RtfCodePage.h"
#include "mainwindow/RtfFormat.h"
#include "widgets/TextCodec.h"

#include <QColor>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kMaxDepth = 256;          // deeper groups share the state of the deepest one
constexpr int kMaxTableEntries = 4096;  // fonts or colours; real tables hold a handful
constexpr int kMaxWordLength = 32;
constexpr int kMaxUnicodeSkip = 16;
constexpr int kDefaultHalfPoints = 24;  // RTF's default size, 12 pt
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxTwips = 31680;  // 22 inches, wider than any page
constexpr int kWesternCodePage = 1252;

enum class Dest { Body, FontTable, ColorTable, Skip };

enum class Align { Left, Center, Right, Justify };

enum class VAlign { Normal, Super, Sub };

struct CharProps {
    int font = 0;  // \deff, 0 when absent
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int color = 0;      // index into the colour table; 0 is automatic
    int highlight = 0;  // likewise; 0 is none
    VAlign vertical = VAlign::Normal;
    bool operator==(const CharProps&) const = default;
};

struct ParProps {
    Align align = Align::Left;
    int firstIndent = 0;  // twips, all of them
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
};

struct State {
    Dest dest = Dest::Body;
    CharProps chars;
    ParProps par;
    int unicodeSkip = 1;  // \uc
    int fontEntry = -1;   // the font-table entry being read
};

struct FontEntry {
    QString name;
    int charset = -1;
    int codePage = 0;  // \cpg, 0 when absent
    bool complete = false;
};

struct Run {
    QString text;
    CharProps chars;
};

struct Paragraph {
    std::vector<Run> runs;
    ParProps par;
    CharProps mark;  // the format of the paragraph mark, which sizes an empty line
};

enum class Word {
    Unknown,
    // header and tables
    AnsiCodePage,
    DefaultFont,
    FontTable,
    ColorTable,
    Skipped,
    Font,
    Charset,
    CodePage,
    Red,
    Green,
    Blue,
    // character formatting
    Plain,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Color,
    Highlight,
    Super,
    Sub,
    NoSuperSub,
    Hidden,
    // paragraph formatting
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    FirstIndent,
    LeftIndent,
    RightIndent,
    SpaceBefore,
    SpaceAfter,
    // text
    Par,
    Line,
    Tab,
    Unicode,
    UnicodeSkip,
    Bin,
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
};

Word Lookup(std::string_view name) {
    static const std::unordered_map<std::string_view, Word> words = {
        {"ansicpg", Word::AnsiCodePage},
        {"deff", Word::DefaultFont},
        {"fonttbl", Word::FontTable},
        {"colortbl", Word::ColorTable},
        {"f", Word::Font},
        {"fcharset", Word::Charset},
        {"cpg", Word::CodePage},
        {"red", Word::Red},
        {"green", Word::Green},
        {"blue", Word::Blue},
        {"plain", Word::Plain},
        {"fs", Word::FontSize},
        {"b", Word::Bold},
        {"i", Word::Italic},
        {"ul", Word::Underline},
        {"uld", Word::Underline},
        {"uldb", Word::Underline},
        {"uldash", Word::Underline},
        {"uldashd", Word::Underline},
        {"uldashdd", Word::Underline},
        {"ulhwave", Word::Underline},
        {"ulldash", Word::Underline},
        {"ulth", Word::Underline},
        {"ulthd", Word::Underline},
        {"ulthdash", Word::Underline},
        {"ulthldash", Word::Underline},
        {"ululdbwave", Word::Underline},
        {"ulw", Word::Underline},
        {"ulwave", Word::Underline},
        {"ulnone", Word::UnderlineNone},
        {"strike", Word::Strike},
        {"striked", Word::Strike},
        {"cf", Word::Color},
        {"highlight", Word::Highlight},
        {"cb", Word::Highlight},
        {"chcbpat", Word::Highlight},
        {"super", Word::Super},
        {"sub", Word::Sub},
        {"nosupersub", Word::NoSuperSub},
        {"v", Word::Hidden},
        {"pard", Word::Pard},
        {"ql", Word::AlignLeft},
        {"qc", Word::AlignCenter},
        {"qr", Word::AlignRight},
        {"qj", Word::AlignJustify},
        {"qd", Word::AlignJustify},
        {"fi", Word::FirstIndent},
        {"li", Word::LeftIndent},
        {"ri", Word::RightIndent},
        {"sb", Word::SpaceBefore},
        {"sa", Word::SpaceAfter},
        {"par", Word::Par},
        {"row", Word::Par},
        {"sect", Word::Par},
        {"line", Word::Line},
        {"tab", Word::Tab},
        {"cell", Word::Tab},
        {"nestcell", Word::Tab},
        {"u", Word::Unicode},
        {"uc", Word::UnicodeSkip},
        {"bin", Word::Bin},
        {"emdash", Word::EmDash},
        {"endash", Word::EnDash},
        {"bullet", Word::Bullet},
        {"lquote", Word::LeftQuote},
        {"rquote", Word::RightQuote},
        {"ldblquote", Word::LeftDoubleQuote},
        {"rdblquote", Word::RightDoubleQuote},
        {"emspace", Word::EmSpace},
        {"enspace", Word::EnSpace},
        {"qmspace", Word::QuarterEmSpace},
        // Destinations that hold no body text, starred or not by their writers.
        {"stylesheet", Word::Skipped},
        {"info", Word::Skipped},
        {"title", Word::Skipped},
        {"subject", Word::Skipped},
        {"author", Word::Skipped},
        {"operator", Word::Skipped},
        {"keywords", Word::Skipped},
        {"comment", Word::Skipped},
        {"doccomm", Word::Skipped},
        {"company", Word::Skipped},
        {"manager", Word::Skipped},
        {"category", Word::Skipped},
        {"hlinkbase", Word::Skipped},
        {"creatim", Word::Skipped},
        {"revtim", Word::Skipped},
        {"printim", Word::Skipped},
        {"buptim", Word::Skipped},
        {"generator", Word::Skipped},
        {"pict", Word::Skipped},
        {"nonshppict", Word::Skipped},
        {"header", Word::Skipped},
        {"headerl", Word::Skipped},
        {"headerr", Word::Skipped},
        {"headerf", Word::Skipped},
        {"footer", Word::Skipped},
        {"footerl", Word::Skipped},
        {"footerr", Word::Skipped},
        {"footerf", Word::Skipped},
        {"footnote", Word::Skipped},
        {"ftnsep", Word::Skipped},
        {"ftnsepc", Word::Skipped},
        {"ftncn", Word::Skipped},
        {"annotation", Word::Skipped},
        {"atnid", Word::Skipped},
        {"atnauthor", Word::Skipped},
        {"listtable", Word::Skipped},
        {"listoverridetable", Word::Skipped},
        {"revtbl", Word::Skipped},
        {"rsidtbl", Word::Skipped},
        {"xmlnstbl", Word::Skipped},
        {"filetbl", Word::Skipped},
        {"themedata", Word::Skipped},
        {"colorschememapping", Word::Skipped},
        {"latentstyles", Word::Skipped},
        {"datastore", Word::Skipped},
        {"xe", Word::Skipped},
        {"tc", Word::Skipped},
        {"txe", Word::Skipped},
        {"rxe", Word::Skipped},
        {"bkmkstart", Word::Skipped},
        {"bkmkend", Word::Skipped},
        {"fldinst", Word::Skipped},
        {"objdata", Word::Skipped},
        {"objclass", Word::Skipped},
        {"objname", Word::Skipped},
        {"objalias", Word::Skipped},
        {"objsect", Word::Skipped},
        {"objitem", Word::Skipped},
        {"objtopic", Word::Skipped},
        {"objtime", Word::Skipped},
        {"template", Word::Skipped},
        {"private", Word::Skipped},
        {"userprops", Word::Skipped},
        {"docvar", Word::Skipped},
    };
    const auto it = words.find(name);
    return it == words.end() ? Word::Unknown : it->second;
}

int ClampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\0';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Position of the opening brace of "{\rtf" after the blanks and byte-order mark some writers
// put first; npos when the bytes are not RTF.
size_t RtfStart(std::string_view bytes) {
    size_t pos = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        pos = 3;
    }
    while (pos < bytes.size() && IsBlank(bytes[pos])) {
        ++pos;
    }
    return bytes.substr(pos, 5) == "{\\rtf" ? pos : std::string_view::npos;
}

// Reads the RTF of one body into paragraphs of runs. One pass over the bytes; every step
// consumes at least one byte, and group depth and table sizes are capped.
class Parser {
public:
    explicit Parser(std::string_view bytes) : in_(bytes) {}

    std::vector<Paragraph> Parse() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            const bool atGroupStart = justOpened_;
            justOpened_ = false;
            switch (c) {
                case '{':
                    Flush();
                    fallbackLeft_ = 0;
                    OpenGroup();
                    break;
                case '}':
                    Flush();
                    fallbackLeft_ = 0;
                    if (!CloseGroup()) {
                        return Finish();
                    }
                    break;
                case '\\':
                    ReadControl(atGroupStart);
                    break;
                case '\r':
                case '\n':
                case '\0':
                    break;
                default:
                    if (!SwallowFallback()) {
                        TextByte(c);
                    }
                    break;
            }
        }
        Flush();
        return Finish();
    }

    const std::map<int, FontEntry>& Fonts() const { return fonts_; }
    const std::vector<QColor>& Colors() const { return colors_; }

private:
    void OpenGroup() {
        if (static_cast<int>(stack_.size()) >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(cur_);
        justOpened_ = true;
    }

    // False when the outermost group has closed: the document ends there.
    bool CloseGroup() {
        if (overflow_ > 0) {
            --overflow_;
            return true;
        }
        if (stack_.empty()) {
            return false;
        }
        if (cur_.dest == Dest::FontTable && cur_.fontEntry >= 0) {
            fonts_[cur_.fontEntry].complete = true;
        }
        cur_ = stack_.back();
        stack_.pop_back();
        return !stack_.empty();
    }

    void ReadControl(bool atGroupStart) {
        if (pos_ >= in_.size()) {
            return;
        }
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            if (c == '\'') {
                ReadHexByte();
            } else if (!SwallowFallback()) {
                Symbol(c, atGroupStart);
            }
            return;
        }
        const size_t nameStart = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            ++pos_;
        }
        const std::string_view name =
            in_.substr(nameStart, std::min<size_t>(pos_ - nameStart, kMaxWordLength));
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        bool hasParam = false;
        int64_t value = 0;
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            hasParam = true;
            value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), INT64_C(1) << 40);
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_;
        }
        const int param =
            static_cast<int>(std::clamp<int64_t>(negative ? -value : value, INT_MIN, INT_MAX));
        const Word word = Lookup(name);
        if (word == Word::Bin) {
            Flush();
            SwallowFallback();
            pos_ += std::min<size_t>(static_cast<size_t>(std::max(param, 0)), in_.size() - pos_);
            return;
        }
        if (SwallowFallback()) {
            return;
        }
        Flush();
        Control(word, hasParam, param);
    }

    void ReadHexByte() {
        int value = -1;
        if (pos_ < in_.size() && HexDigit(in_[pos_]) >= 0) {
            value = HexDigit(in_[pos_++]);
            if (pos_ < in_.size() && HexDigit(in_[pos_]) >= 0) {
                value = value * 16 + HexDigit(in_[pos_++]);
            }
        }
        if (value < 0 || SwallowFallback()) {
            return;
        }
        AddByte(static_cast<char>(value));
    }

    // After \uN the next \uc characters are the fallback for readers without Unicode.
    bool SwallowFallback() {
        if (fallbackLeft_ == 0) {
            return false;
        }
        --fallbackLeft_;
        return true;
    }

    void Symbol(char c, bool atGroupStart) {
        switch (c) {
            case '\\':
            case '{':
            case '}':
                TextByte(c);
                return;
            case '*':
                // {\*\word ...}: an optional destination, none of which holds body text.
                if (atGroupStart) {
                    cur_.dest = Dest::Skip;
                }
                return;
            case '\r':
            case '\n':
                Flush();
                EndParagraph();
                return;
            case '~':
                Flush();
                AppendText(QString(QChar(0x00A0)));
                return;
            case '_':
                Flush();
                AppendText(QString(QChar(0x2011)));
                return;
            default:
                Flush();
                return;
        }
    }

    void Control(Word word, bool hasParam, int param) {
        const bool on = !hasParam || param != 0;
        CharProps& chars = cur_.chars;
        ParProps& par = cur_.par;
        if (cur_.dest == Dest::Skip) {
            return;
        }
        switch (word) {
            case Word::Unknown:
                return;
            case Word::AnsiCodePage:
                if (param > 0) {
                    ansiCodePage_ = param;
                }
                return;
            case Word::DefaultFont:
                defaultFont_ = param;
                chars.font = param;
                return;
            case Word::FontTable:
                cur_.dest = Dest::FontTable;
                return;
            case Word::ColorTable:
                cur_.dest = Dest::ColorTable;
                colorSet_ = false;
                red_ = green_ = blue_ = 0;
                return;
            case Word::Skipped:
                cur_.dest = Dest::Skip;
                return;
            default:
                break;
        }
        switch (cur_.dest) {
            case Dest::FontTable:
                FontTableWord(word, param);
                return;
            case Dest::ColorTable:
                ColorTableWord(word, param);
                return;
            case Dest::Body:
            case Dest::Skip:
                break;
        }
        switch (word) {
            case Word::Font:
                chars.font = param;
                break;
            case Word::Plain:
                chars = CharProps{};
                chars.font = defaultFont_;
                bodyStarted_ = true;
                break;
            case Word::FontSize:
                chars.halfPoints = param > 0 ? std::min(param, kMaxHalfPoints) : kDefaultHalfPoints;
                break;
            case Word::Bold:
                chars.bold = on;
                break;
            case Word::Italic:
                chars.italic = on;
                break;
            case Word::Underline:
                chars.underline = on;
                break;
            case Word::UnderlineNone:
                chars.underline = false;
                break;
            case Word::Strike:
                chars.strike = on;
                break;
            case Word::Color:
                chars.color = std::max(param, 0);
                break;
            case Word::Highlight:
                chars.highlight = std::max(param, 0);
                break;
            case Word::Super:
                chars.vertical = VAlign::Super;
                break;
            case Word::Sub:
                chars.vertical = VAlign::Sub;
                break;
            case Word::NoSuperSub:
                chars.vertical = VAlign::Normal;
                break;
            case Word::Hidden:
                chars.hidden = on;
                break;
            case Word::Pard:
                par = ParProps{};
                bodyStarted_ = true;
                break;
            case Word::AlignLeft:
                par.align = Align::Left;
                break;
            case Word::AlignCenter:
                par.align = Align::Center;
                break;
            case Word::AlignRight:
                par.align = Align::Right;
                break;
            case Word::AlignJustify:
                par.align = Align::Justify;
                break;
            case Word::FirstIndent:
                par.firstIndent = ClampTwips(param);
                break;
            case Word::LeftIndent:
                par.leftIndent = ClampTwips(param);
                break;
            case Word::RightIndent:
                par.rightIndent = ClampTwips(param);
                break;
            case Word::SpaceBefore:
                par.spaceBefore = std::clamp(param, 0, kMaxTwips);
                break;
            case Word::SpaceAfter:
                par.spaceAfter = std::clamp(param, 0, kMaxTwips);
                break;
            case Word::Par:
                EndParagraph();
                break;
            case Word::Line:
                AppendText(QString(QChar::LineSeparator));
                break;
            case Word::Tab:
                AppendText(QStringLiteral("\t"));
                break;
            case Word::Unicode:
                AppendText(QString(QChar(static_cast<char16_t>(param & 0xFFFF))));
                fallbackLeft_ = cur_.unicodeSkip;
                break;
            case Word::UnicodeSkip:
                cur_.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
                break;
            case Word::EmDash:
                AppendText(QString(QChar(0x2014)));
                break;
            case Word::EnDash:
                AppendText(QString(QChar(0x2013)));
                break;
            case Word::Bullet:
                AppendText(QString(QChar(0x2022)));
                break;
            case Word::LeftQuote:
                AppendText(QString(QChar(0x2018)));
                break;
            case Word::RightQuote:
                AppendText(QString(QChar(0x2019)));
                break;
            case Word::LeftDoubleQuote:
                AppendText(QString(QChar(0x201C)));
                break;
            case Word::RightDoubleQuote:
                AppendText(QString(QChar(0x201D)));
                break;
            case Word::EmSpace:
                AppendText(QString(QChar(0x2003)));
                break;
            case Word::EnSpace:
                AppendText(QString(QChar(0x2002)));
                break;
            case Word::QuarterEmSpace:
                AppendText(QString(QChar(0x2005)));
                break;
            default:
                break;
        }
    }

    void FontTableWord(Word word, int param) {
        switch (word) {
            case Word::Font:
                if (fonts_.count(param) > 0 || static_cast<int>(fonts_.size()) < kMaxTableEntries) {
                    cur_.fontEntry = param;
                    fonts_[param];
                } else {
                    cur_.fontEntry = -1;
                }
                break;
            case Word::Charset:
                if (FontEntry* entry = CurrentEntry()) {
                    entry->charset = param;
                }
                break;
            case Word::CodePage:
                if (FontEntry* entry = CurrentEntry()) {
                    entry->codePage = std::max(param, 0);
                }
                break;
            case Word::Unicode:
                AppendText(QString(QChar(static_cast<char16_t>(param & 0xFFFF))));
                fallbackLeft_ = cur_.unicodeSkip;
                break;
            case Word::UnicodeSkip:
                cur_.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
                break;
            default:
                break;
        }
    }

    void ColorTableWord(Word word, int param) {
        const int component = std::clamp(param, 0, 255);
        switch (word) {
            case Word::Red:
                red_ = component;
                colorSet_ = true;
                break;
            case Word::Green:
                green_ = component;
                colorSet_ = true;
                break;
            case Word::Blue:
                blue_ = component;
                colorSet_ = true;
                break;
            default:
                break;
        }
    }

    FontEntry* CurrentEntry() {
        if (cur_.fontEntry < 0) {
            return nullptr;
        }
        const auto it = fonts_.find(cur_.fontEntry);
        return it == fonts_.end() ? nullptr : &it->second;
    }

    void TextByte(char c) {
        switch (cur_.dest) {
            case Dest::Skip:
                return;
            case Dest::ColorTable:
                if (c == ';') {
                    // An entry without components is "automatic": an invalid colour.
                    if (static_cast<int>(colors_.size()) < kMaxTableEntries) {
                        colors_.push_back(colorSet_ ? QColor(red_, green_, blue_) : QColor());
                    }
                    colorSet_ = false;
                    red_ = green_ = blue_ = 0;
                }
                return;
            case Dest::FontTable:
                if (c == ';') {
                    Flush();
                    if (FontEntry* entry = CurrentEntry()) {
                        entry->complete = true;
                    }
                    return;
                }
                AddByte(c);
                return;
            case Dest::Body:
                if (c == '\t') {
                    Flush();
                    AppendText(QStringLiteral("\t"));
                    return;
                }
                // Blanks between the header groups and the first paragraph are not text.
                if (!bodyStarted_ && c == ' ') {
                    return;
                }
                AddByte(c);
                return;
        }
    }

    void AddByte(char c) {
        if (cur_.dest == Dest::Body) {
            bodyStarted_ = true;
            pending_ += c;
        } else if (cur_.dest == Dest::FontTable) {
            const FontEntry* entry = CurrentEntry();
            if (entry != nullptr && !entry->complete) {
                pending_ += c;
            }
        }
    }

    // Bytes of text are gathered until something may change their code page, so that the two
    // bytes of a multibyte character decode together however they were escaped.
    void Flush() {
        if (pending_.empty()) {
            return;
        }
        const QString text = DecodeCodePage(PendingCodePage(), pending_);
        pending_.clear();
        AppendText(text);
    }

    int PendingCodePage() {
        if (cur_.dest == Dest::FontTable) {
            const FontEntry* entry = CurrentEntry();
            return entry == nullptr ? ansiCodePage_ : EntryCodePage(*entry);
        }
        const auto it = fonts_.find(cur_.chars.font);
        return it == fonts_.end() ? ansiCodePage_ : EntryCodePage(it->second);
    }

    int EntryCodePage(const FontEntry& entry) const {
        if (entry.codePage > 0) {
            return entry.codePage;
        }
        if (entry.charset == 2) {
            return kWesternCodePage;
        }
        return CodePageOfCharset(entry.charset, ansiCodePage_);
    }

    void AppendText(const QString& text) {
        if (cur_.dest == Dest::FontTable) {
            if (FontEntry* entry = CurrentEntry(); entry != nullptr && !entry->complete) {
                entry->name += text;
            }
            return;
        }
        if (cur_.dest != Dest::Body || cur_.chars.hidden) {
            return;
        }
        bodyStarted_ = true;
        std::vector<Run>& runs = paragraph_.runs;
        if (!runs.empty() && runs.back().chars == cur_.chars) {
            runs.back().text += text;
        } else {
            runs.push_back(Run{text, cur_.chars});
        }
    }

    // A paragraph takes the paragraph properties in effect at its \par.
    void EndParagraph() {
        if (cur_.dest != Dest::Body) {
            return;
        }
        bodyStarted_ = true;
        paragraph_.par = cur_.par;
        paragraph_.mark = cur_.chars;
        paragraphs_.push_back(std::move(paragraph_));
        paragraph_ = Paragraph{};
    }

    // The \par that closes the last paragraph opens no new one; text after it does.
    std::vector<Paragraph> Finish() {
        if (!paragraph_.runs.empty() || paragraphs_.empty()) {
            paragraph_.par = cur_.par;
            paragraph_.mark = cur_.chars;
            paragraphs_.push_back(std::move(paragraph_));
        }
        return std::move(paragraphs_);
    }

    std::string_view in_;
    size_t pos_ = 0;
    State cur_;
    std::vector<State> stack_;
    int overflow_ = 0;  // groups opened beyond kMaxDepth and not yet closed
    bool justOpened_ = false;
    int fallbackLeft_ = 0;
    std::string pending_;
    int ansiCodePage_ = kWesternCodePage;
    int defaultFont_ = 0;
    bool bodyStarted_ = false;
    std::map<int, FontEntry> fonts_;
    std::vector<QColor> colors_;
    bool colorSet_ = false;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    std::vector<Paragraph> paragraphs_;
    Paragraph paragraph_;
};

// Text as a QTextCursor may take it: no block or line separators of its own, no control
// characters, no lone halves of surrogate pairs.
QString CleanText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar::ReplacementCharacter;
        } else if (c == QChar::ParagraphSeparator) {
            out += QChar::LineSeparator;
        } else if ((c.unicode() >= 0x20 && c.unicode() != 0x7F) || c == u'\t') {
            out += c;
        }
    }
    return out;
}

// A face name as text on one line, without surrounding blanks.
QString CleanName(const QString& name) {
    QString clean = CleanText(name);
    clean.remove(u'\t');
    clean.remove(QChar::LineSeparator);
    return clean.trimmed();
}

class DocumentBuilder {
public:
    DocumentBuilder(const std::map<int, FontEntry>& fonts, const std::vector<QColor>& colors)
        : fonts_(fonts), colors_(colors) {}

    void Build(const std::vector<Paragraph>& paragraphs, QTextDocument& document) const {
        QTextCursor cursor(&document);
        bool first = true;
        for (const Paragraph& paragraph : paragraphs) {
            if (first) {
                cursor.setBlockFormat(BlockFormat(paragraph.par));
                cursor.setBlockCharFormat(CharFormat(paragraph.mark));
                first = false;
            } else {
                cursor.insertBlock(BlockFormat(paragraph.par), CharFormat(paragraph.mark));
            }
            for (const Run& run : paragraph.runs) {
                const QString text = CleanText(run.text);
                if (!text.isEmpty()) {
                    cursor.insertText(text, CharFormat(run.chars));
                }
            }
        }
    }

private:
    QTextCharFormat CharFormat(const CharProps& chars) const {
        QTextCharFormat format;
        if (const auto it = fonts_.find(chars.font); it != fonts_.end()) {
            const QString name = CleanName(it->second.name);
            if (!name.isEmpty()) {
                format.setFontFamilies(QStringList{name});
            }
            if (it->second.charset >= 0) {
                format.setProperty(kRtfCharsetProperty, it->second.charset);
            }
        }
        format.setFontPointSize(chars.halfPoints / 2.0);
        if (chars.bold) {
            format.setFontWeight(QFont::Bold);
        }
        if (chars.italic) {
            format.setFontItalic(true);
        }
        if (chars.underline) {
            format.setFontUnderline(true);
        }
        if (chars.strike) {
            format.setFontStrikeOut(true);
        }
        if (const QColor color = TableColor(chars.color); color.isValid()) {
            format.setForeground(color);
        }
        if (const QColor color = TableColor(chars.highlight); color.isValid()) {
            format.setBackground(color);
        }
        if (chars.vertical == VAlign::Super) {
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        } else if (chars.vertical == VAlign::Sub) {
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        }
        return format;
    }

    QColor TableColor(int index) const {
        return index > 0 && index < static_cast<int>(colors_.size()) ? colors_[index] : QColor();
    }

    static QTextBlockFormat BlockFormat(const ParProps& par) {
        QTextBlockFormat format;
        switch (par.align) {
            case Align::Left:
                break;
            case Align::Center:
                format.setAlignment(Qt::AlignHCenter);
                break;
            case Align::Right:
                format.setAlignment(Qt::AlignRight);
                break;
            case Align::Justify:
                format.setAlignment(Qt::AlignJustify);
                break;
        }
        const auto pixels = [](int twips) { return twips / kTwipsPerPixel; };
        if (par.firstIndent != 0) {
            format.setTextIndent(pixels(par.firstIndent));
        }
        if (par.leftIndent != 0) {
            format.setLeftMargin(pixels(par.leftIndent));
        }
        if (par.rightIndent != 0) {
            format.setRightMargin(pixels(par.rightIndent));
        }
        if (par.spaceBefore != 0) {
            format.setTopMargin(pixels(par.spaceBefore));
        }
        if (par.spaceAfter != 0) {
            format.setBottomMargin(pixels(par.spaceAfter));
        }
        return format;
    }

    const std::map<int, FontEntry>& fonts_;
    const std::vector<QColor>& colors_;
};

}  // namespace

bool IsRtf(std::string_view bytes) {
    return RtfStart(bytes) != std::string_view::npos;
}

void ReadRtf(std::string_view bytes, QTextDocument& document) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    const size_t start = RtfStart(bytes);
    if (start == std::string_view::npos) {
        QString text = FromCp932(bytes);
        text.remove(QChar(u'\0'));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        document.setPlainText(text);
    } else {
        Parser parser(bytes.substr(start));
        const std::vector<Paragraph> paragraphs = parser.Parse();
        DocumentBuilder(parser.Fonts(), parser.Colors()).Build(paragraphs, document);
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}
