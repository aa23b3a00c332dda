#include "richtext/BodyAgreement.h"

#include "richtext/RtfFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfTokens.h"
#include "storage/Cp932.h"
#include "storage/StrUtils.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Readings of the body against the field followed side by side. Each character CP932 cannot hold
// may stand for nothing, one byte or one character, so readings branch; past this many the texts
// are taken to agree rather than spend time on them.
constexpr size_t kMaxReadings = 64;

// A run of the body's characters that the field must hold, or a character CP932 cannot hold,
// for which the field holds nothing or one stand-in ("e" for "é", "l" for "ł", a raw byte).
struct TPiece {
    std::string Bytes;
    bool AnyOne = false;
};

// One character as the comparison takes it.
struct TChar {
    std::string_view Bytes;  // its CP932 bytes; empty for a character CP932 cannot hold
    bool Blank = false;      // a blank of any width, a line end, a control or format character
};

constexpr std::string_view kIdeographicSpace = "\x81\x40";

bool IsBlankByte(unsigned char byte) {
    return byte <= 0x20 || byte == 0x7F;
}

bool IsBlankUnheld(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return QChar::isSpace(c) || category == QChar::Other_Control || category == QChar::Other_Format;
}

// The characters of a text field: CP932, with references for what CP932 cannot hold.
class TFieldChars {
public:
    explicit TFieldChars(std::string_view text) : text_(text) {}

    bool Next(TChar& ch) {
        if (at_ >= text_.size())
            return false;
        char32_t named = 0;
        if (const size_t length = ReferenceAt(text_, at_, named); length > 0) {
            at_ += length;
            ch = named == U'&' ? TChar{"&", false} : TChar{{}, IsBlankUnheld(named)};
            return true;
        }
        const size_t length = CharLength(text_, at_);
        ch.Bytes = text_.substr(at_, length);
        ch.Blank = (length == 1 && IsBlankByte(text_[at_])) || ch.Bytes == kIdeographicSpace;
        at_ += length;
        return true;
    }

private:
    std::string_view text_;
    size_t at_ = 0;
};

// The CP932 bytes of the characters met, "" for one CP932 cannot hold: a body's text is turned
// into CP932 character by character, each character looked up once.
using TCp932Chars = std::unordered_map<char32_t, std::string>;

// The CP932 bytes the codec writes for c alone, "" for a character it writes as a reference or a
// raw byte of a damaged file (which it writes as a byte or a reference by what follows).
std::string Cp932Char(char32_t c) {
    if (c >= 0xF780 && c <= 0xF7FF)
        return {};
    const std::string bytes = Utf8ToCp932(QString::fromUcs4(&c, 1).toStdString());
    char32_t named = 0;
    return ReferenceAt(bytes, 0, named) == bytes.size() && named != U'&' ? std::string() : bytes;
}

// The characters of the body's text.
class TBodyChars {
public:
    TBodyChars(const QString& text, TCp932Chars& known) : text_(text), known_(known) {}

    bool Next(TChar& ch) {
        if (at_ >= text_.size())
            return false;
        char32_t c = text_[at_++].unicode();
        if (QChar::isHighSurrogate(c) && at_ < text_.size() && text_[at_].isLowSurrogate())
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text_[at_++].unicode());
        if (c < 0x80) {
            static const std::array<char, 0x80> ascii = [] {
                std::array<char, 0x80> bytes{};
                for (size_t i = 0; i < bytes.size(); ++i)
                    bytes[i] = static_cast<char>(i);
                return bytes;
            }();
            ch = {std::string_view(&ascii[c], 1), IsBlankByte(static_cast<unsigned char>(c))};
            return true;
        }
        const auto [found, added] = known_.try_emplace(c);
        if (added)
            found->second = Cp932Char(c);
        ch.Bytes = found->second;
        ch.Blank = ch.Bytes.empty() ? IsBlankUnheld(c) : ch.Bytes == kIdeographicSpace;
        return true;
    }

private:
    const QString& text_;
    TCp932Chars& known_;
    qsizetype at_ = 0;
};

// Characters that only mark list items, wherever they stand.
bool IsBullet(std::string_view bytes) {
    static const std::set<std::string, std::less<>> bullets = [] {
        const std::string marks = Sjis("・●○◎◇◆□■△▲▽▼※→☆★＊①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳");
        std::set<std::string, std::less<>> set;
        for (size_t i = 0; i < marks.size(); i += CharLength(marks, i))
            set.insert(marks.substr(i, CharLength(marks, i)));
        return set;
    }();
    return bullets.contains(bytes);
}

bool AllOf(std::string_view text, std::string_view allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

// A list number standing alone: "1.", "12)", "a.", "iv.", "(3)", "１．", "（２）".
bool IsListNumber(std::string_view word) {
    static const std::string kOpen = Sjis("（"), kClose = Sjis("）"), kStop = Sjis("．");
    bool opened = false;
    for (std::string_view open : {std::string_view("("), std::string_view(kOpen)}) {
        if (word.starts_with(open)) {
            word.remove_prefix(open.size());
            opened = true;
            break;
        }
    }
    bool closed = false;
    bool stopped = false;
    if (word.ends_with(')') || word.ends_with(kClose)) {
        word.remove_suffix(word.ends_with(')') ? 1 : kClose.size());
        closed = true;
    } else if (word.ends_with('.') || word.ends_with(kStop)) {
        word.remove_suffix(word.ends_with('.') ? 1 : kStop.size());
        stopped = true;
    }
    if (opened ? !closed : !closed && !stopped)
        return false;
    if (AllOf(word, "0123456789") && word.size() <= 3)
        return true;
    if (word.size() == 1 &&
        ((word[0] >= 'a' && word[0] <= 'z') || (word[0] >= 'A' && word[0] <= 'Z')))
        return true;
    if (AllOf(word, "ivxlcdmIVXLCDM") && word.size() <= 6)
        return true;
    // Full-width digits, two bytes each.
    if (word.empty() || word.size() % 2 != 0 || word.size() > 6)
        return false;
    for (size_t i = 0; i < word.size(); i += 2)
        if (word[i] != '\x82' || word[i + 1] < '\x4F' || word[i + 1] > '\x58')
            return false;
    return true;
}

// The characters of a text that formatting cannot explain, in order. On the body's side a
// character CP932 cannot hold becomes a piece that stands for any one character or none; on the
// field's side it is left out, as is '?', the stand-in of other writers.
template <typename Chars>
std::vector<TPiece> Pieces(Chars chars, bool body) {
    // Longer words are no list numbers.
    constexpr size_t kListNumberChars = 6;
    std::vector<TPiece> pieces;
    std::vector<TChar> word;
    std::string wordBytes;
    const auto flush = [&] {
        if (word.size() <= kListNumberChars) {
            wordBytes.clear();
            bool held = true;
            for (const TChar& ch : word) {
                wordBytes += ch.Bytes;
                held = held && !ch.Bytes.empty();
            }
            if (held && IsListNumber(wordBytes)) {
                word.clear();
                return;
            }
        }
        for (const TChar& ch : word) {
            if (ch.Bytes.empty()) {
                if (body)
                    pieces.push_back({{}, true});
            } else if (ch.Bytes != "?" && !IsBullet(ch.Bytes)) {
                if (pieces.empty() || pieces.back().AnyOne)
                    pieces.emplace_back();
                pieces.back().Bytes += ch.Bytes;
            }
        }
        word.clear();
    };
    TChar ch;
    while (chars.Next(ch)) {
        if (ch.Blank)
            flush();
        else
            word.push_back(ch);
    }
    flush();
    return pieces;
}

// Whether the field's characters are the body's, each character CP932 cannot hold read as none
// or as any one.
bool Matches(const std::vector<TPiece>& body, std::string_view field) {
    std::vector<size_t> readings{0};
    for (const TPiece& piece : body) {
        std::vector<size_t> next;
        for (const size_t at : readings) {
            if (piece.AnyOne) {
                // A byte that is no CP932 character (a raw byte kept from a damaged file) may
                // look like the lead byte of the character after it.
                next.push_back(at);
                if (at < field.size())
                    next.insert(next.end(), {at + 1, at + CharLength(field, at)});
            } else if (field.compare(at, piece.Bytes.size(), piece.Bytes) == 0) {
                next.push_back(at + piece.Bytes.size());
            }
        }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        if (next.empty())
            return false;
        if (next.size() > kMaxReadings)
            return true;
        readings = std::move(next);
    }
    return std::find(readings.begin(), readings.end(), field.size()) != readings.end();
}

// The body's text block by block: pictures and objects left out, hidden text taken in when asked.
QString BodyText(const QTextDocument& body, bool withHidden, bool& holdsHidden) {
    QString text;
    for (QTextBlock block = body.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.hasProperty(kRtfHiddenTextProperty)) {
                holdsHidden = true;
                if (withHidden)
                    text += format.stringProperty(kRtfHiddenTextProperty);
            } else if (!format.hasProperty(kRtfGroupProperty)) {
                text += fragment.text();
            }
        }
        text += u'\n';
    }
    return text;
}

}  // namespace

TBodyAgreement CompareBody(std::string_view richText, const QTextDocument& body,
                           std::string_view plainText) {
    std::string field;
    for (const TPiece& piece : Pieces(TFieldChars(plainText), false))
        field += piece.Bytes;
    if (field.empty())
        return TBodyAgreement::Agrees;
    TCp932Chars known;
    bool holdsHidden = false;
    const QString visible = BodyText(body, false, holdsHidden);
    if (Matches(Pieces(TBodyChars(visible, known), true), field))
        return TBodyAgreement::Agrees;
    if (holdsHidden) {
        const QString all = BodyText(body, true, holdsHidden);
        if (Matches(Pieces(TBodyChars(all, known), true), field))
            return TBodyAgreement::Agrees;
    }
    return RtfComplete(richText) ? TBodyAgreement::Differs : TBodyAgreement::Cut;
}

TBodyAgreement ReadPageBody(std::string_view richText, std::string_view plainText,
                            QTextDocument& document) {
    ReadRtf(richText, document);
    const TBodyAgreement agreement = CompareBody(richText, document, plainText);
    if (agreement != TBodyAgreement::Agrees)
        ReadPlainText(plainText, document);
    return agreement;
}

bool RtfComplete(std::string_view bytes) {
    if (!IsRtf(bytes))
        return true;
    RtfTokens tokens(bytes);
    RtfToken token;
    int depth = 0;
    while (tokens.Next(token)) {
        if (token.kind == RtfToken::Open) {
            ++depth;
        } else if (token.kind == RtfToken::Close && depth > 0 && --depth == 0) {
            return true;
        }
    }
    return false;
}
