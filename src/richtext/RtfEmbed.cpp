#include "richtext/RtfEmbed.h"

#include "storage/StrUtils.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace {

constexpr int kMaxTwips = 31680;  // 22 inches
constexpr int kTwipsPerPixel = 15;
constexpr int kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One step through the bytes of a group: a control word with its parameter, a control symbol, a
// brace or a byte of text. \bin data is stepped over as one token.
struct Token {
    enum Kind { Open, Close, Word, Symbol, Text } kind = Text;
    std::string_view name;
    bool hasParam = false;
    int param = 0;
    std::string_view data;  // \bin bytes, or the text byte
};

class Tokens {
public:
    explicit Tokens(std::string_view in) : in_(in) {}

    bool Next(Token& token) {
        if (pos_ >= in_.size()) {
            return false;
        }
        token = Token{};
        const char c = in_[pos_++];
        if (c == '{') {
            token.kind = Token::Open;
        } else if (c == '}') {
            token.kind = Token::Close;
        } else if (c != '\\') {
            token.kind = Token::Text;
            token.data = in_.substr(pos_ - 1, 1);
        } else if (pos_ < in_.size() && IsLetter(in_[pos_])) {
            ReadWord(token);
        } else {
            token.kind = Token::Symbol;
            token.data = in_.substr(pos_, pos_ < in_.size() ? 1 : 0);
            pos_ = std::min(pos_ + 1, in_.size());
        }
        return true;
    }

    size_t Position() const { return pos_; }

private:
    void ReadWord(Token& token) {
        token.kind = Token::Word;
        const size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            ++pos_;
        }
        token.name = in_.substr(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        int64_t value = 0;
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            token.hasParam = true;
            value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), INT64_C(1) << 40);
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_;
        }
        token.param =
            static_cast<int>(std::clamp<int64_t>(negative ? -value : value, INT_MIN, INT_MAX));
        if (token.name == "bin") {
            const size_t length =
                std::min<size_t>(static_cast<size_t>(std::max(token.param, 0)), in_.size() - pos_);
            token.data = in_.substr(pos_, length);
            pos_ += length;
        }
    }

    std::string_view in_;
    size_t pos_ = 0;
};

// The first \pict group of a group: its format, size and data.
struct PictureProps {
    bool found = false;
    bool done = false;
    int depth = 0;
    QString format;
    int width = 0;  // \picw: pixels, or HIMETRIC for metafiles
    int height = 0;
    int goalWidth = 0;  // twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
    std::string hex;
    std::string binary;
};

QString FormatOfWord(std::string_view name) {
    static constexpr std::pair<std::string_view, const char*> kFormats[] = {
        {"pngblip", "PNG"},  {"jpegblip", "JPEG"}, {"emfblip", "EMF"},  {"wmetafile", "WMF"},
        {"dibitmap", "DIB"}, {"wbitmap", "BMP"},   {"macpict", "PICT"}, {"pmmetafile", "OS/2"},
    };
    for (const auto& [word, format] : kFormats) {
        if (word == name) {
            return QString::fromLatin1(format);
        }
    }
    return QString();
}

void PictureWord(const Token& token, PictureProps& pict) {
    const std::string_view name = token.name;
    const int value = std::clamp(token.param, 0, INT_MAX / kTwipsPerInch);
    if (const QString format = FormatOfWord(name); !format.isEmpty()) {
        pict.format = format;
    } else if (name == "picw") {
        pict.width = value;
    } else if (name == "pich") {
        pict.height = value;
    } else if (name == "picwgoal") {
        pict.goalWidth = value;
    } else if (name == "pichgoal") {
        pict.goalHeight = value;
    } else if (name == "picscalex" && token.param > 0) {
        pict.scaleX = std::min(token.param, 10000);
    } else if (name == "picscaley" && token.param > 0) {
        pict.scaleY = std::min(token.param, 10000);
    } else if (name == "bin") {
        pict.binary += token.data;
    }
}

QByteArray HexBytes(const std::string& hex) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(hex.size() / 2));
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(HexDigitValue(hex[i]) * 16 + HexDigitValue(hex[i + 1]));
    }
    return bytes;
}

// The shown length in twips from a goal size, or from the natural size in its units.
int ShownTwips(int goal, int natural, bool metafile, int scale) {
    int64_t twips = goal;
    if (twips <= 0) {
        twips = metafile ? int64_t{natural} * kTwipsPerInch / kHimetricPerInch
                         : int64_t{natural} * kTwipsPerPixel;
    }
    return static_cast<int>(std::clamp<int64_t>(twips * scale / 100, 0, kMaxTwips));
}

}  // namespace

size_t GroupEnd(std::string_view rtf, size_t open, int& unclosed) {
    Tokens tokens(rtf.substr(open));
    Token token;
    int depth = 0;
    while (tokens.Next(token)) {
        if (token.kind == Token::Open) {
            ++depth;
        } else if (token.kind == Token::Close && --depth == 0) {
            unclosed = 0;
            return open + tokens.Position();
        }
    }
    unclosed = depth;
    return rtf.size();
}

RtfEmbed ReadEmbed(RtfEmbedKind kind, std::string group) {
    RtfEmbed embed;
    embed.kind = kind;
    PictureProps pict;
    int depth = 0;
    int objectWidth = 0;
    int objectHeight = 0;
    int classDepth = -1;  // inside {\*\objclass ...}
    QString objectClass;
    Tokens tokens(group);
    Token token;
    while (tokens.Next(token)) {
        switch (token.kind) {
            case Token::Open:
                ++depth;
                break;
            case Token::Close:
                if (pict.found && !pict.done && depth == pict.depth) {
                    pict.done = true;
                }
                if (depth == classDepth) {
                    classDepth = -1;
                }
                --depth;
                break;
            case Token::Word:
                if (token.name == "pict" && !pict.found) {
                    pict.found = true;
                    pict.depth = depth;
                } else if (pict.found && !pict.done && depth == pict.depth) {
                    PictureWord(token, pict);
                } else if (token.name == "objclass") {
                    classDepth = depth;
                } else if (token.name == "objw" && objectWidth == 0) {
                    objectWidth = std::clamp(token.param, 0, kMaxTwips);
                } else if (token.name == "objh" && objectHeight == 0) {
                    objectHeight = std::clamp(token.param, 0, kMaxTwips);
                }
                break;
            case Token::Text:
                if (pict.found && !pict.done && depth == pict.depth &&
                    HexDigitValue(token.data[0]) >= 0) {
                    pict.hex += token.data[0];
                } else if (depth == classDepth && objectClass.size() < 64) {
                    objectClass += QLatin1Char(token.data[0]);
                }
                break;
            case Token::Symbol:
                break;
        }
    }
    const bool metafile = pict.format == u"WMF" || pict.format == u"EMF" ||
                          pict.format == u"PICT" || pict.format == u"OS/2";
    embed.widthTwips = ShownTwips(pict.goalWidth, pict.width, metafile, pict.scaleX);
    embed.heightTwips = ShownTwips(pict.goalHeight, pict.height, metafile, pict.scaleY);
    embed.format = pict.format;
    if (pict.format == u"PNG" || pict.format == u"JPEG") {
        embed.image = pict.binary.empty() ? HexBytes(pict.hex)
                                          : QByteArray(pict.binary.data(),
                                                       static_cast<qsizetype>(pict.binary.size()));
    }
    if (kind == RtfEmbedKind::Object) {
        embed.format = objectClass.trimmed();
        if (objectWidth > 0 && objectHeight > 0) {
            embed.widthTwips = objectWidth;
            embed.heightTwips = objectHeight;
        }
    }
    embed.group = std::move(group);
    return embed;
}
