#include "richtext/BodyAgreement.h"

#include "bridge/TextCodec.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfTokens.h"
#include "storage/Cp932.h"
#include "storage/StrUtils.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// Readings of the body against the field followed side by side. Each character CP932 cannot hold
// may stand for nothing or for one character, so readings branch; past this many the texts are
// taken to agree rather than spend time on them.
constexpr size_t kMaxReadings = 64;

// A run of the body's characters that the field must hold, or a character CP932 cannot hold,
// for which the field holds nothing or one stand-in ("e" for "é", "l" for "ł").
struct TPiece {
    std::string Bytes;
    bool AnyOne = false;
};

// One character of CP932 text with a reference "&#xHEX;" read as the character it names.
struct TChar {
    std::string_view Bytes;
    char32_t Unheld = 0;     // a character CP932 cannot hold, named by a reference; else 0
    bool Ampersand = false;  // the reference by which a typed "&" is kept
};

TChar CharAt(std::string_view text, size_t i) {
    TChar ch;
    char32_t named = 0;
    if (const size_t length = ReferenceAt(text, i, named); length > 0) {
        ch.Bytes = text.substr(i, length);
        if (named == U'&')
            ch.Ampersand = true;
        else
            ch.Unheld = named;
        return ch;
    }
    ch.Bytes = text.substr(i, CharLength(text, i));
    return ch;
}

// Blanks of any width, line ends and control characters: what lays text out.
bool IsBlank(const TChar& ch) {
    if (ch.Unheld != 0)
        return QChar::isSpace(ch.Unheld) || QChar::category(ch.Unheld) == QChar::Other_Format;
    if (ch.Bytes.size() == 1) {
        const auto byte = static_cast<unsigned char>(ch.Bytes[0]);
        return byte <= 0x20 || byte == 0x7F;
    }
    return ch.Bytes == "\x81\x40";  // the ideographic space
}

// Characters that only mark list items, wherever they stand.
bool IsBullet(const TChar& ch) {
    static const std::set<std::string, std::less<>> bullets = [] {
        const std::string marks = Sjis("・●○◎◇◆□■△▲▽▼※→☆★＊①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳");
        std::set<std::string, std::less<>> set;
        for (size_t i = 0; i < marks.size(); i += CharLength(marks, i))
            set.insert(marks.substr(i, CharLength(marks, i)));
        return set;
    }();
    return ch.Unheld == 0 && bullets.contains(ch.Bytes);
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

// The characters of CP932 text that formatting cannot explain, in order. On the body's side a
// character CP932 cannot hold becomes a piece that stands for any one character or none; on the
// field's side it is left out, as is '?', the stand-in of other writers.
std::vector<TPiece> Pieces(std::string_view text, bool body) {
    std::vector<TPiece> pieces;
    const auto add = [&pieces](std::string_view bytes) {
        if (pieces.empty() || pieces.back().AnyOne)
            pieces.emplace_back();
        pieces.back().Bytes += bytes;
    };
    size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(CharAt(text, i))) {
            i += CharAt(text, i).Bytes.size();
            continue;
        }
        size_t end = i;
        while (end < text.size() && !IsBlank(CharAt(text, end)))
            end += CharAt(text, end).Bytes.size();
        const std::string_view word = text.substr(i, end - i);
        i = end;
        if (IsListNumber(word))
            continue;
        for (size_t at = 0; at < word.size();) {
            const TChar ch = CharAt(word, at);
            at += ch.Bytes.size();
            if (ch.Ampersand) {
                add("&");
            } else if (ch.Unheld != 0) {
                if (body)
                    pieces.push_back({{}, true});
            } else if (ch.Bytes != "?" && !IsBullet(ch)) {
                add(ch.Bytes);
            }
        }
    }
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
                next.push_back(at);
                if (at < field.size())
                    next.push_back(at + CharLength(field, at));
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
    for (const TPiece& piece : Pieces(plainText, false))
        field += piece.Bytes;
    if (field.empty())
        return TBodyAgreement::Agrees;
    bool holdsHidden = false;
    if (Matches(Pieces(ToCp932(BodyText(body, false, holdsHidden)), true), field))
        return TBodyAgreement::Agrees;
    if (holdsHidden && Matches(Pieces(ToCp932(BodyText(body, true, holdsHidden)), true), field))
        return TBodyAgreement::Agrees;
    return RtfComplete(richText) ? TBodyAgreement::Differs : TBodyAgreement::Cut;
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
