#include "richtext/RtfReader.h"

#include "bridge/TextCodec.h"
#include "richtext/RtfCodePage.h"
#include "richtext/RtfContent.h"
#include "richtext/RtfEmbed.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfLists.h"
#include "richtext/RtfTables.h"
#include "richtext/RtfTokens.h"
#include "richtext/RtfWords.h"

#include <QColor>
#include <QTextDocument>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxDepth = 256;          // deeper groups share the state of the deepest one
constexpr int kMaxTableEntries = 4096;  // fonts or colours; real tables hold a handful
constexpr int kMaxWordLength = 32;
constexpr int kMaxUnicodeSkip = 16;
constexpr int kMaxTwips = 31680;  // 22 inches, wider than any page
constexpr int kWesternCodePage = 1252;
constexpr int kMaxTabs = 64;
constexpr int kMaxListLevels = 9;
constexpr int kMaxEmbeds = 4096;
constexpr int kMaxInstruction = 4096;

// Where the text and words of a group go: the body, one of the tables, a list paragraph's
// numbering (\pn), a field's instruction, or nowhere.
enum class Dest {
    Body,
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    Pn,
    FieldInstruction,
    Skip
};

struct State {
    Dest dest = Dest::Body;
    RtfCharProps chars;
    RtfParProps par;
    int unicodeSkip = 1;  // \uc
    int fontEntry = -1;   // the font-table entry being read
    int list = -1;        // the list-table entry being read
    int overrideListId = 0;
    RtfTabKind tabKind = RtfTabKind::Left;  // of the next \tx
};

int ClampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\0';
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
    explicit Parser(std::string_view bytes) : in_(bytes), tokens_(bytes) {}

    RtfContent Parse() {
        RtfToken token;
        while (tokens_.Next(token)) {
            // Line ends and NULs are no tokens: writers wrap lines anywhere, even between a
            // brace and the \* that makes its group skippable.
            if (token.kind == RtfToken::Text &&
                (token.text == '\r' || token.text == '\n' || token.text == '\0')) {
                continue;
            }
            const bool atGroupStart = std::exchange(justOpened_, false);
            switch (token.kind) {
                case RtfToken::Open:
                    Flush();
                    fallbackLeft_ = 0;
                    starred_ = false;
                    OpenGroup();
                    break;
                case RtfToken::Close:
                    Flush();
                    fallbackLeft_ = 0;
                    starred_ = false;
                    if (!CloseGroup()) {
                        return Finish();
                    }
                    break;
                case RtfToken::Word:
                    Word(token, atGroupStart);
                    break;
                case RtfToken::Symbol:
                    // \* marks only the control word right after it.
                    if (token.symbol != '*') {
                        starred_ = false;
                    }
                    if (!SwallowFallback()) {
                        Symbol(token.symbol, atGroupStart);
                    }
                    break;
                case RtfToken::Hex:
                    starred_ = false;
                    if (token.hex >= 0 && !SwallowFallback()) {
                        AddByte(static_cast<char>(token.hex));
                    }
                    break;
                case RtfToken::Text:
                    starred_ = false;
                    if (!SwallowFallback()) {
                        TextByte(token.text);
                    }
                    break;
            }
        }
        Flush();
        return Finish();
    }

private:
    void OpenGroup() {
        groupOpen_ = tokens_.Position() - 1;
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
        const State closing = std::move(cur_);
        cur_ = std::move(stack_.back());
        stack_.pop_back();
        // The numbering of a paragraph and the target of a field are given in groups of their
        // own, but hold for the paragraph and the field around them.
        if (closing.dest == Dest::Pn) {
            cur_.par.list = closing.par.list;
        } else if (closing.dest == Dest::FieldInstruction && cur_.dest != closing.dest) {
            cur_.chars.link = LinkIndex(LinkTarget(instruction_));
        }
        return !stack_.empty();
    }

    void Word(const RtfToken& token, bool atGroupStart) {
        const RtfWord word = LookupRtfWord(token.name.substr(0, kMaxWordLength));
        if (word == RtfWord::Bin) {
            // Its data went with the token.
            Flush();
            SwallowFallback();
            return;
        }
        if (SwallowFallback()) {
            return;
        }
        Flush();
        Control(word, token.hasParam, token.param, atGroupStart);
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
                    starredFrom_ = cur_.dest;
                    starred_ = true;
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

    void Control(RtfWord word, bool hasParam, int param, bool atGroupStart) {
        const bool on = !hasParam || param != 0;
        RtfCharProps& chars = cur_.chars;
        RtfParProps& par = cur_.par;
        const bool starred = std::exchange(starred_, false);
        const bool inBody = cur_.dest == Dest::Body || (starred && starredFrom_ == Dest::Body);
        if ((atGroupStart || starred) && inBody && CaptureEmbed(word)) {
            return;
        }
        if (cur_.dest == Dest::Skip) {
            // Optional destinations this reader knows are read after all.
            if (starred && starredFrom_ == Dest::Body) {
                OpenDestination(word);
            }
            return;
        }
        if (cur_.dest == Dest::Body && OpenDestination(word)) {
            return;
        }
        switch (word) {
            case RtfWord::Unknown:
                return;
            case RtfWord::AnsiCodePage:
                if (param > 0) {
                    ansiCodePage_ = param;
                }
                return;
            case RtfWord::DefaultFont:
                defaultFont_ = param;
                chars.font = param;
                return;
            case RtfWord::FontTable:
                cur_.dest = Dest::FontTable;
                return;
            case RtfWord::ColorTable:
                cur_.dest = Dest::ColorTable;
                colorSet_ = false;
                red_ = green_ = blue_ = 0;
                return;
            case RtfWord::Skipped:
            case RtfWord::Picture:
            case RtfWord::ShapePicture:
            case RtfWord::NonShapePicture:
            case RtfWord::Object:
            case RtfWord::Footnote:
                // Not where a group opens: nothing of it can be kept whole, nor shown.
                cur_.dest = Dest::Skip;
                return;
            case RtfWord::Unicode:
                // One UTF-16 unit, N signed; in a font table it belongs to the face name.
                AppendText(QString(QChar(static_cast<char16_t>(param & 0xFFFF))));
                fallbackLeft_ = cur_.unicodeSkip;
                return;
            case RtfWord::UnicodeSkip:
                cur_.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
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
            case Dest::ListTable:
                lists_.ListTableWord(word, param, cur_.list);
                return;
            case Dest::ListOverrideTable:
                lists_.OverrideWord(word, param, cur_.overrideListId);
                return;
            case Dest::Pn:
                PnWord(word, param, cur_.par.list);
                return;
            case Dest::FieldInstruction:
                return;
            case Dest::Body:
            case Dest::Skip:
                break;
        }
        if (tables_.DefinitionWord(word, param)) {
            return;
        }
        switch (word) {
            case RtfWord::Font:
                chars.font = param;
                break;
            case RtfWord::Plain:
                chars = RtfCharProps{};
                chars.font = defaultFont_;
                bodyStarted_ = true;
                break;
            case RtfWord::FontSize:
                chars.halfPoints =
                    param > 0 ? std::min(param, kMaxHalfPoints) : kRtfDefaultHalfPoints;
                break;
            case RtfWord::Bold:
                chars.bold = on;
                break;
            case RtfWord::Italic:
                chars.italic = on;
                break;
            case RtfWord::Underline:
                chars.underline = on;
                break;
            case RtfWord::UnderlineNone:
                chars.underline = false;
                break;
            case RtfWord::Strike:
                chars.strike = on;
                break;
            case RtfWord::Color:
                chars.color = std::max(param, 0);
                break;
            case RtfWord::Highlight:
                chars.highlight = std::max(param, 0);
                break;
            case RtfWord::Super:
                chars.vertical = RtfVAlign::Super;
                break;
            case RtfWord::Sub:
                chars.vertical = RtfVAlign::Sub;
                break;
            case RtfWord::NoSuperSub:
                chars.vertical = RtfVAlign::Normal;
                break;
            case RtfWord::Hidden:
                chars.hidden = on;
                break;
            case RtfWord::Deleted:
                chars.deleted = on;
                break;
            case RtfWord::Pard:
                par = RtfParProps{};
                bodyStarted_ = true;
                break;
            case RtfWord::AlignLeft:
                par.align = RtfAlign::Left;
                break;
            case RtfWord::AlignCenter:
                par.align = RtfAlign::Center;
                break;
            case RtfWord::AlignRight:
                par.align = RtfAlign::Right;
                break;
            case RtfWord::AlignJustify:
                par.align = RtfAlign::Justify;
                break;
            case RtfWord::FirstIndent:
                par.firstIndent = ClampTwips(param);
                break;
            case RtfWord::LeftIndent:
                par.leftIndent = ClampTwips(param);
                break;
            case RtfWord::RightIndent:
                par.rightIndent = ClampTwips(param);
                break;
            case RtfWord::SpaceBefore:
                par.spaceBefore = std::clamp(param, 0, kMaxTwips);
                break;
            case RtfWord::SpaceAfter:
                par.spaceAfter = std::clamp(param, 0, kMaxTwips);
                break;
            case RtfWord::LineSpacing:
                par.lineSpacing = ClampTwips(param);
                break;
            case RtfWord::LineMultiple:
                par.lineMultiple = on;
                break;
            case RtfWord::TabRight:
                cur_.tabKind = RtfTabKind::Right;
                break;
            case RtfWord::TabCenter:
                cur_.tabKind = RtfTabKind::Center;
                break;
            case RtfWord::TabDecimal:
                cur_.tabKind = RtfTabKind::Decimal;
                break;
            case RtfWord::TabStop:
                if (static_cast<int>(par.tabs.size()) < kMaxTabs) {
                    par.tabs.push_back(RtfTab{std::clamp(param, 0, kMaxTwips), cur_.tabKind});
                }
                cur_.tabKind = RtfTabKind::Left;
                break;
            case RtfWord::ListSelect:
                par.list.overrideIndex = std::max(param, 0);
                break;
            case RtfWord::ListLevelSelect:
                par.list.level = std::clamp(param, 0, kMaxListLevels - 1) + 1;
                break;
            case RtfWord::InTable:
                par.inTable = true;
                break;
            case RtfWord::Par:
                EndParagraph();
                break;
            case RtfWord::Cell:
                EndCell();
                break;
            case RtfWord::Row:
                if (!paragraph_.runs.empty()) {
                    EndCell();
                }
                tables_.EndRow();
                break;
            case RtfWord::NestRow:
                AppendText(QString(QChar::LineSeparator));
                break;
            case RtfWord::FootnoteMark:
                // The number of a footnote, counted by the reader that shows footnotes: kept
                // with the footnote, as a group of its own.
                AddEmbed(RtfEmbedKind::Footnote, "{\\chftn}", chars);
                break;
            default:
                if (const char16_t c = CharacterOfWord(word)) {
                    AppendText(QString(QChar(c)));
                }
                break;
        }
    }

    // Enters the destinations that words of their own open; false for any other word.
    bool OpenDestination(RtfWord word) {
        switch (word) {
            case RtfWord::Pn:
                cur_.dest = Dest::Pn;
                cur_.par.list = RtfListProps{};
                cur_.par.list.style = RtfListStyle::Decimal;
                return true;
            case RtfWord::ListTable:
                cur_.dest = Dest::ListTable;
                return true;
            case RtfWord::ListOverrideTable:
                cur_.dest = Dest::ListOverrideTable;
                return true;
            case RtfWord::FieldInstruction:
                cur_.dest = Dest::FieldInstruction;
                instruction_.clear();
                return true;
            default:
                return false;
        }
    }

    RtfParProps ParagraphProps() const {
        RtfParProps par = cur_.par;
        if (par.list.overrideIndex > 0) {
            par.list.style = lists_.Style(par.list);
        }
        return par;
    }

    int LinkIndex(const QString& target) {
        if (target.isEmpty()) {
            return 0;
        }
        if (links_.empty() || links_.back() != target) {
            if (static_cast<int>(links_.size()) >= kMaxTableEntries) {
                return 0;
            }
            links_.push_back(target);
        }
        return static_cast<int>(links_.size());
    }

    void FontTableWord(RtfWord word, int param) {
        switch (word) {
            case RtfWord::Font:
                if (fonts_.count(param) > 0 || static_cast<int>(fonts_.size()) < kMaxTableEntries) {
                    cur_.fontEntry = param;
                    fonts_[param];
                } else {
                    cur_.fontEntry = -1;
                }
                break;
            case RtfWord::Charset:
                if (RtfFontEntry* entry = CurrentEntry()) {
                    entry->charset = param;
                }
                break;
            case RtfWord::CodePage:
                if (RtfFontEntry* entry = CurrentEntry()) {
                    entry->codePage = std::max(param, 0);
                }
                break;
            default:
                break;
        }
    }

    void ColorTableWord(RtfWord word, int param) {
        const int component = std::clamp(param, 0, 255);
        switch (word) {
            case RtfWord::Red:
                red_ = component;
                colorSet_ = true;
                break;
            case RtfWord::Green:
                green_ = component;
                colorSet_ = true;
                break;
            case RtfWord::Blue:
                blue_ = component;
                colorSet_ = true;
                break;
            default:
                break;
        }
    }

    RtfFontEntry* CurrentEntry() {
        if (cur_.fontEntry < 0) {
            return nullptr;
        }
        const auto it = fonts_.find(cur_.fontEntry);
        return it == fonts_.end() ? nullptr : &it->second;
    }

    void TextByte(char c) {
        switch (cur_.dest) {
            case Dest::Skip:
            case Dest::ListTable:
            case Dest::ListOverrideTable:
            case Dest::Pn:
                return;
            case Dest::FieldInstruction:
                AddByte(c);
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
                    if (RtfFontEntry* entry = CurrentEntry()) {
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
        } else if (cur_.dest == Dest::FieldInstruction) {
            pending_ += c;
        } else if (cur_.dest == Dest::FontTable) {
            const RtfFontEntry* entry = CurrentEntry();
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
            const RtfFontEntry* entry = CurrentEntry();
            return entry == nullptr ? ansiCodePage_ : EntryCodePage(*entry);
        }
        const auto it = fonts_.find(cur_.chars.font);
        return it == fonts_.end() ? ansiCodePage_ : EntryCodePage(it->second);
    }

    int EntryCodePage(const RtfFontEntry& entry) const {
        if (entry.codePage > 0) {
            return entry.codePage;
        }
        return CodePageOfCharset(entry.charset, ansiCodePage_);
    }

    void AppendText(const QString& text) {
        if (cur_.dest == Dest::FontTable) {
            if (RtfFontEntry* entry = CurrentEntry(); entry != nullptr && !entry->complete) {
                entry->name += text;
            }
            return;
        }
        if (cur_.dest == Dest::FieldInstruction) {
            if (instruction_.size() < kMaxInstruction) {
                instruction_ += text;
            }
            return;
        }
        if (cur_.dest != Dest::Body) {
            return;
        }
        bodyStarted_ = true;
        shapeOpen_ = false;
        std::vector<RtfRun>& runs = paragraph_.runs;
        if (!runs.empty() && runs.back().embed == 0 && runs.back().chars == cur_.chars) {
            runs.back().text += text;
        } else {
            runs.push_back(RtfRun{text, cur_.chars});
        }
    }

    // A paragraph takes the paragraph properties in effect at its \par.
    void EndParagraph() {
        if (cur_.dest != Dest::Body) {
            return;
        }
        PushParagraph(tables_.EndParagraph(cur_.par.inTable));
    }

    // \cell ends a paragraph in a table whether or not it said \intbl.
    void EndCell() {
        if (cur_.dest != Dest::Body) {
            return;
        }
        PushParagraph(tables_.EndCell());
    }

    void PushParagraph(const RtfCellRef& cell) {
        bodyStarted_ = true;
        shapeOpen_ = false;
        paragraph_.par = ParagraphProps();
        paragraph_.mark = cur_.chars;
        paragraph_.cell = cell;
        paragraphs_.push_back(std::move(paragraph_));
        paragraph_ = RtfParagraph{};
    }

    // A picture, object or footnote group is taken whole, as the bytes it was read from; the
    // paragraph holds it as one character. False for any other word.
    bool CaptureEmbed(RtfWord word) {
        RtfEmbedKind kind = RtfEmbedKind::Picture;
        switch (word) {
            case RtfWord::Picture:
            case RtfWord::ShapePicture:
            case RtfWord::NonShapePicture:
                break;
            case RtfWord::Object:
                kind = RtfEmbedKind::Object;
                break;
            case RtfWord::Footnote:
                kind = RtfEmbedKind::Footnote;
                break;
            default:
                return false;
        }
        int unclosed = 0;
        const size_t end = GroupEnd(in_, groupOpen_, unclosed);
        std::string group(in_.substr(groupOpen_, end - groupOpen_));
        group.append(static_cast<size_t>(unclosed), '}');
        tokens_.Seek(end);
        fallbackLeft_ = 0;
        const RtfCharProps chars = cur_.chars;
        if (!CloseGroup()) {
            tokens_.Seek(in_.size());
        }
        // A group cut short by the end of the body is closed, unless the cut left a control
        // word or binary data that would take the closing braces in: then nothing of it is kept.
        if (int left = 0; unclosed > 0 && (GroupEnd(group, 0, left) != group.size() || left != 0)) {
            return true;
        }
        // Word follows a shape picture with the same picture for older readers: the two
        // stay together as one.
        if (word == RtfWord::NonShapePicture && shapeOpen_) {
            embeds_.back().group += group;
            shapeOpen_ = false;
            return true;
        }
        AddEmbed(kind, std::move(group), chars);
        shapeOpen_ = word == RtfWord::ShapePicture;
        return true;
    }

    void AddEmbed(RtfEmbedKind kind, std::string group, const RtfCharProps& chars) {
        if (static_cast<int>(embeds_.size()) >= kMaxEmbeds) {
            return;
        }
        embeds_.push_back(ReadEmbed(kind, std::move(group)));
        bodyStarted_ = true;
        shapeOpen_ = false;
        paragraph_.runs.push_back(RtfRun{QString(QChar::ObjectReplacementCharacter), chars,
                                         static_cast<int>(embeds_.size())});
    }

    // The \par that closes the last paragraph opens no new one; text after it does.
    RtfContent Finish() {
        if (!paragraph_.runs.empty() || paragraphs_.empty()) {
            PushParagraph(tables_.EndParagraph(cur_.par.inTable));
        }
        return RtfContent{std::move(paragraphs_), std::move(fonts_),  std::move(colors_),
                          std::move(links_),      std::move(embeds_), tables_.Finish()};
    }

    std::string_view in_;
    RtfTokens tokens_;
    State cur_;
    std::vector<State> stack_;
    int overflow_ = 0;  // groups opened beyond kMaxDepth and not yet closed
    bool justOpened_ = false;
    bool starred_ = false;  // the group just opened with \*
    Dest starredFrom_ = Dest::Body;
    int fallbackLeft_ = 0;
    std::string pending_;
    int ansiCodePage_ = kWesternCodePage;
    int defaultFont_ = 0;
    bool bodyStarted_ = false;
    std::map<int, RtfFontEntry> fonts_;
    std::vector<QColor> colors_;
    bool colorSet_ = false;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    RtfListTables lists_;
    RtfTableReader tables_;
    std::vector<RtfEmbed> embeds_;
    size_t groupOpen_ = 0;    // where the group opened last begins
    bool shapeOpen_ = false;  // a shape picture was the last thing read
    QString instruction_;
    std::vector<QString> links_;
    std::vector<RtfParagraph> paragraphs_;
    RtfParagraph paragraph_;
};

}  // namespace

bool IsRtf(std::string_view bytes) {
    return RtfStart(bytes) != std::string_view::npos;
}

namespace {

// Fills document, its undo stack left alone and its modified mark cleared at the end.
template <typename Fill>
void Load(QTextDocument& document, Fill fill) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    fill();
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}

void SetPlainText(std::string_view cp932, QTextDocument& document) {
    QString text = FromCp932(cp932);
    text.remove(QChar(u'\0'));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    document.setPlainText(text);
}

}  // namespace

void ReadRtf(std::string_view bytes, QTextDocument& document) {
    Load(document, [&] {
        const size_t start = RtfStart(bytes);
        if (start == std::string_view::npos)
            SetPlainText(bytes, document);
        else
            BuildDocument(Parser(bytes.substr(start)).Parse(), document);
    });
}

void ReadPlainText(std::string_view cp932, QTextDocument& document) {
    Load(document, [&] { SetPlainText(cp932, document); });
}
