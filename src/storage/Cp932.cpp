#include "storage/Cp932.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "storage/Iconv.h"
#include "storage/StrUtils.h"

namespace {

constexpr char32_t kRawByteBase = 0xF700;  // undecodable byte b <-> U+F700 + b
constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// A converter that must exist: the C library always knows CP932 and UTF-8.
class Converter : public TIconv {
public:
    Converter(const char* to, const char* from) : TIconv(to, from) {
        if (!IsOpen()) {
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
        }
    }
};

Converter& ToUtf8() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& ToCp932() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

char32_t DecodeUtf8(std::string_view s, size_t& length) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    length = 0;
    if (s.empty()) {
        return 0;
    }
    const unsigned char b0 = byte(0);
    size_t n = 0;
    char32_t c = 0;
    if (b0 < 0x80) {
        length = 1;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        n = 2;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() < n) {
        return 0;
    }
    for (size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (byte(i) & 0x3F);
    }
    static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    length = n;
    return c;
}

size_t ReferenceAt(std::string_view text, size_t i, char32_t& c) {
    if (text.compare(i, 3, "&#x") != 0) {
        return 0;
    }
    size_t j = i + 3;
    c = 0;
    while (j < text.size() && j - i < 9 && HexDigitValue(text[j]) >= 0) {
        c = c * 16 + static_cast<char32_t>(HexDigitValue(text[j]));
        ++j;
    }
    std::string ignored;
    const bool valid = j > i + 3 && j < text.size() && text[j] == ';' && c <= 0x10FFFF &&
                       !(c >= 0xD800 && c <= 0xDFFF);
    return valid && (c == '&' || !EncodeCp932Char(c, ignored)) ? j + 1 - i : 0;
}

size_t ShownCharLength(std::string_view text, size_t i) {
    char32_t ignored = 0;
    const size_t reference = ReferenceAt(text, i, ignored);
    return reference > 0 ? reference : CharLength(text, i);
}

namespace {

std::string DecodeReferences(const std::string& utf8) {
    if (utf8.find("&#x") == std::string::npos) {
        return utf8;
    }
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        if (const size_t length = ReferenceAt(utf8, i, c); length > 0) {
            AppendUtf8(c, out);
            i += length;
        } else {
            out += utf8[i++];
        }
    }
    return out;
}

void AppendReference(char32_t c, std::string& out) {
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
    out += reference;
}

// Whether the raw byte that stands for the private-use character c can be written as itself:
// read back it must give c again and must not join the character after it, next being the rest
// of the text after c.
bool RawByteComesBack(char32_t c, std::string_view next) {
    const auto byte = static_cast<char>(c - kRawByteBase);
    std::string decoded;
    if (!IsLeadByte(byte)) {
        return ToUtf8().Convert(std::string_view(&byte, 1), decoded) == 0;
    }
    // A lead byte takes the byte after it along in every byte walk, so that byte must be a
    // single-byte character that is not a control character and makes no character with it.
    // At the end of a text it would take the comma after its field.
    size_t length = 0;
    std::string following;
    if (!EncodeCp932Char(DecodeUtf8(next, length), following) || length == 0 ||
        following.size() != 1 || static_cast<unsigned char>(following[0]) < 0x20 ||
        IsLeadByte(following[0])) {
        return false;
    }
    const char pair[2] = {byte, following[0]};
    return ToUtf8().Convert(std::string_view(pair, 2), decoded) == 0;
}

// The position of the first '&' at or after from that starts a reference reading would turn
// into a character; npos when there is none.
size_t FindDecodableAmpersand(std::string_view utf8, size_t from) {
    for (size_t at = utf8.find('&', from); at != std::string_view::npos;
         at = utf8.find('&', at + 1)) {
        char32_t ignored = 0;
        if (ReferenceAt(utf8, at, ignored) > 0) {
            return at;
        }
    }
    return std::string_view::npos;
}

// The converter writes the yen sign and the overline as the ASCII bytes 0x5C and 0x7E, which
// read back as the backslash and the tilde. Their full-width forms are CP932 characters that
// read back as the same signs.
std::string FoldYenAndOverline(std::string_view utf8) {
    static constexpr std::string_view kYen = "\xC2\xA5", kFullWidthYen = "\xEF\xBF\xA5";
    static constexpr std::string_view kOverline = "\xE2\x80\xBE", kFullWidthMacron = "\xEF\xBF\xA3";
    std::string folded;
    folded.reserve(utf8.size() + 8);
    while (!utf8.empty()) {
        if (utf8.starts_with(kYen)) {
            folded += kFullWidthYen;
            utf8.remove_prefix(kYen.size());
        } else if (utf8.starts_with(kOverline)) {
            folded += kFullWidthMacron;
            utf8.remove_prefix(kOverline.size());
        } else {
            folded += utf8.front();
            utf8.remove_prefix(1);
        }
    }
    return folded;
}

bool HoldsYenOrOverline(std::string_view utf8) {
    return utf8.find("\xC2\xA5") != std::string_view::npos ||
           utf8.find("\xE2\x80\xBE") != std::string_view::npos;
}

// Converts a text that holds no '&' starting a reference. With rawBytes, the private-use
// characters that stand for bytes of a file that are no CP932 are written as those bytes.
void AppendCp932(std::string_view utf8, bool rawBytes, std::string& out) {
    while (!utf8.empty()) {
        utf8.remove_prefix(ToCp932().Convert(utf8, out));
        if (utf8.empty()) {
            break;
        }
        size_t length = 0;
        const char32_t c = DecodeUtf8(utf8, length);
        if (length == 0) {
            AppendReference(kReplacement, out);
            utf8.remove_prefix(1);
            continue;
        }
        utf8.remove_prefix(length);
        if (rawBytes && c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF &&
            RawByteComesBack(c, utf8)) {
            out += static_cast<char>(c - kRawByteBase);
        } else {
            AppendReference(c, out);
        }
    }
}

std::string EncodeCp932(std::string_view typed, bool rawBytes) {
    const std::string folded =
        HoldsYenOrOverline(typed) ? FoldYenAndOverline(typed) : std::string();
    const std::string_view utf8 = folded.empty() ? typed : std::string_view(folded);
    std::string out;
    out.reserve(utf8.size());
    // A typed "&" that would start a reference is itself written as one, so the text it begins
    // reads back as typed.
    size_t at = 0;
    for (size_t amp = FindDecodableAmpersand(utf8, 0); amp != std::string_view::npos;
         amp = FindDecodableAmpersand(utf8, at)) {
        AppendCp932(utf8.substr(at, amp - at), rawBytes, out);
        AppendReference('&', out);
        at = amp + 1;
    }
    AppendCp932(utf8.substr(at), rawBytes, out);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    while (!cp932.empty()) {
        cp932.remove_prefix(ToUtf8().Convert(cp932, out));
        if (!cp932.empty()) {
            AppendUtf8(kRawByteBase + static_cast<unsigned char>(cp932.front()), out);
            cp932.remove_prefix(1);
        }
    }
    return DecodeReferences(out);
}

std::string Cp932ToShown(std::string_view cp932, std::vector<std::string>* replaced) {
    const auto replace = [&](std::string_view what, std::string& out) {
        out += kReplacementUtf8;
        if (replaced) {
            replaced->emplace_back(what);
        }
    };
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    // '&' is never the second byte of a character, so the text splits at it into runs that
    // convert on their own; a reference starts at one.
    while (!cp932.empty()) {
        const std::string_view run = cp932.substr(0, cp932.find('&'));
        for (std::string_view rest = run; !rest.empty();) {
            rest.remove_prefix(ToUtf8().Convert(rest, out));
            if (!rest.empty()) {
                replace(rest.substr(0, 1), out);
                rest.remove_prefix(1);
            }
        }
        cp932.remove_prefix(run.size());
        if (cp932.empty()) {
            break;
        }
        char32_t c = 0;
        const size_t length = ReferenceAt(cp932, 0, c);
        if (length == 0) {
            out += '&';
            cp932.remove_prefix(1);
            continue;
        }
        if (c == kReplacement) {
            replace(cp932.substr(0, length), out);
        } else {
            AppendUtf8(c, out);
        }
        cp932.remove_prefix(length);
    }
    return out;
}

namespace {

// The positions of the U+FFFD in utf8 that lie wholly within [from, to).
std::vector<size_t> ReplacementsIn(std::string_view utf8, size_t from, size_t to) {
    std::vector<size_t> found;
    for (size_t at = utf8.find(kReplacementUtf8, from);
         at != std::string_view::npos && at + kReplacementUtf8.size() <= to;
         at = utf8.find(kReplacementUtf8, at + kReplacementUtf8.size())) {
        found.push_back(at);
    }
    return found;
}

// Whether the bytes what, written before next (the first bytes that follow them), read back as
// one U+FFFD standing for what and leave next reading as it did. No CP932 character is longer
// than two bytes, so two bytes of next tell.
bool StandsAlone(const std::string& what, std::string_view next) {
    std::vector<std::string> replaced;
    const std::string shown = Cp932ToShown(what + std::string(next), &replaced);
    return !replaced.empty() && replaced.front() == what &&
           shown == std::string(kReplacementUtf8) + Cp932ToShown(next);
}

// What each U+FFFD of shown (at marks) stood for in before, whose U+FFFD stood for replaced;
// empty for a new one. Those of the unchanged start and end are the same ones; those of the
// edited middle take the middle's in order.
std::vector<std::string> MatchReplacements(std::string_view shown, const std::vector<size_t>& marks,
                                           std::string_view before,
                                           const std::vector<std::string>& replaced) {
    const size_t shorter = std::min(shown.size(), before.size());
    size_t start = 0;
    while (start < shorter && shown[start] == before[start]) {
        ++start;
    }
    size_t end = 0;
    while (end < shorter - start &&
           shown[shown.size() - 1 - end] == before[before.size() - 1 - end]) {
        ++end;
    }
    const size_t head = ReplacementsIn(shown, 0, start).size();
    const size_t tail = ReplacementsIn(shown, shown.size() - end, shown.size()).size();
    const size_t middle = replaced.size() - head - tail;
    std::vector<std::string> sources(marks.size());
    for (size_t i = 0; i < marks.size(); ++i) {
        if (i < head) {
            sources[i] = replaced[i];
        } else if (i >= marks.size() - tail) {
            sources[i] = replaced[replaced.size() - (marks.size() - i)];
        } else if (i - head < middle) {
            sources[i] = replaced[i];
        }
    }
    return sources;
}

}  // namespace

std::string ShownToCp932(std::string_view shown, std::string_view original) {
    std::vector<std::string> replaced;
    const std::string before = Cp932ToShown(original, &replaced);
    if (before == shown) {
        return std::string(original);
    }
    const std::string typed = TypedToCp932(shown);
    const std::vector<size_t> marks = ReplacementsIn(shown, 0, shown.size());
    if (replaced.empty() || marks.empty()) {
        return typed;
    }
    const std::vector<std::string> sources = MatchReplacements(shown, marks, before, replaced);
    // From the end, so that the bytes after each U+FFFD are known when its own are chosen.
    std::vector<std::string> pieces;
    std::string next;  // the first two bytes of the pieces so far
    const auto prepend = [&](std::string piece) {
        next = (piece + next).substr(0, 2);
        pieces.push_back(std::move(piece));
    };
    size_t segmentEnd = shown.size();
    for (size_t i = marks.size(); i-- > 0;) {
        const size_t segmentStart = marks[i] + kReplacementUtf8.size();
        prepend(TypedToCp932(shown.substr(segmentStart, segmentEnd - segmentStart)));
        const bool kept = !sources[i].empty() && StandsAlone(sources[i], next);
        prepend(kept ? sources[i] : TypedToCp932(kReplacementUtf8));
        segmentEnd = marks[i];
    }
    prepend(TypedToCp932(shown.substr(0, segmentEnd)));
    std::string out;
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        out += *piece;
    }
    // Each piece was checked against what follows it; the whole is checked once more, so that
    // keeping a byte can never change what the text reads as.
    return Cp932ToShown(out) == Cp932ToShown(typed) ? out : typed;
}

std::string Utf8ToCp932(std::string_view typed) {
    return EncodeCp932(typed, true);
}

std::string TypedToCp932(std::string_view typed) {
    return EncodeCp932(typed, false);
}

bool EncodeCp932Char(char32_t codePoint, std::string& bytes) {
    if (codePoint == kReplacement || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
        codePoint > 0x10FFFF) {
        return false;
    }
    std::string utf8;
    AppendUtf8(codePoint, utf8);
    std::string out;
    if (ToCp932().Convert(utf8, out) != utf8.size()) {
        return false;
    }
    bytes = std::move(out);
    return true;
}
