#include "richtext/RtfEmbed.h"

#include "richtext/RtfTokens.h"
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

void PictureWord(const RtfToken& token, PictureProps& pict) {
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
    RtfTokens tokens(rtf.substr(open));
    RtfToken token;
    int depth = 0;
    while (tokens.Next(token)) {
        if (token.kind == RtfToken::Open) {
            ++depth;
        } else if (token.kind == RtfToken::Close && --depth == 0) {
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
    RtfTokens tokens(group);
    RtfToken token;
    while (tokens.Next(token)) {
        switch (token.kind) {
            case RtfToken::Open:
                ++depth;
                break;
            case RtfToken::Close:
                if (pict.found && !pict.done && depth == pict.depth) {
                    pict.done = true;
                }
                if (depth == classDepth) {
                    classDepth = -1;
                }
                --depth;
                break;
            case RtfToken::Word:
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
            case RtfToken::Text:
                if (pict.found && !pict.done && depth == pict.depth &&
                    HexDigitValue(token.text) >= 0) {
                    pict.hex += token.text;
                } else if (depth == classDepth && objectClass.size() < 64) {
                    objectClass += QLatin1Char(token.text);
                }
                break;
            case RtfToken::Symbol:
            case RtfToken::Hex:
                break;
        }
    }
    const bool metafile = pict.format == u"WMF" || pict.format == u"EMF" ||
                          pict.format == u"PICT" || pict.format == u"OS/2";
    embed.widthTwips = ShownTwips(pict.goalWidth, pict.width, metafile, pict.scaleX);
    embed.heightTwips = ShownTwips(pict.goalHeight, pict.height, metafile, pict.scaleY);
    embed.format = pict.format;
    if (pict.format == u"PNG" || pict.format == u"JPEG" || pict.format == u"DIB" ||
        pict.format == u"BMP") {
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
