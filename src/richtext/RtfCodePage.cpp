#include "richtext/RtfCodePage.h"

#include "storage/Cp932.h"
#include "storage/Iconv.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr char32_t kRawByteFirst = 0xF780;  // the core codec's stand-ins for undecodable bytes
constexpr char32_t kRawByteLast = 0xF7FF;
constexpr int kWesternCodePage = 1252;
constexpr int kJohabCodePage = 1361;

// Decodes text of one code page; an invalid or cut-short sequence becomes one replacement
// character and decoding goes on after its first byte, so the next character is not swallowed.
class IconvDecoder {
public:
    explicit IconvDecoder(const char* from) : iconv_("UTF-8", from) {}

    bool IsValid() const { return iconv_.IsOpen(); }

    QString Decode(std::string_view bytes) {
        std::string utf8;
        while (!bytes.empty()) {
            bytes.remove_prefix(iconv_.Convert(bytes, utf8));
            if (!bytes.empty()) {
                utf8 += "\xEF\xBF\xBD";
                bytes.remove_prefix(1);
            }
        }
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }

private:
    TIconv iconv_;
};

// The code pages Windows writes RTF text in. Any other number decodes as 1252, so that no body
// can make the set of open decoders grow.
bool IsWindowsCodePage(int codePage) {
    static constexpr int kCodePages[] = {437,  850,  874,  932,  936,  949,  950,  1250, 1251,
                                         1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361, 10000};
    return std::find(std::begin(kCodePages), std::end(kCodePages), codePage) !=
           std::end(kCodePages);
}

std::string IconvName(int codePage) {
    return codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
}

// Encodes one character in one code page.
class IconvEncoder {
public:
    explicit IconvEncoder(const char* to) : iconv_(to, "UTF-32LE") {}

    bool IsValid() const { return iconv_.IsOpen(); }

    bool Encode(char32_t c, std::string& bytes) {
        const char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                            static_cast<char>((c >> 16) & 0xFF), static_cast<char>(c >> 24)};
        std::string out;
        if (iconv_.Convert(std::string_view(in, sizeof in), out) != sizeof in) {
            return false;
        }
        bytes = std::move(out);
        return true;
    }

private:
    TIconv iconv_;
};

IconvDecoder& DecoderFor(int codePage) {
    if (!IsWindowsCodePage(codePage)) {
        codePage = kWesternCodePage;
    }
    thread_local std::map<int, std::unique_ptr<IconvDecoder>> decoders;
    auto& decoder = decoders[codePage];
    if (!decoder) {
        decoder = std::make_unique<IconvDecoder>(IconvName(codePage).c_str());
        if (!decoder->IsValid()) {
            decoder = std::make_unique<IconvDecoder>(IconvName(kWesternCodePage).c_str());
        }
    }
    return *decoder;
}

// The core codec turns "&#x...;" into characters, a rule of the plain fields only: in RTF such
// text is literal, so each '&' is kept out of what the codec sees. '&' is never a trail byte.
QString DecodeCp932(std::string_view bytes) {
    QString text;
    while (!bytes.empty()) {
        const size_t amp = bytes.find('&');
        const std::string utf8 = Cp932ToUtf8(bytes.substr(0, amp));
        text += QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        if (amp == std::string_view::npos) {
            break;
        }
        text += QLatin1Char('&');
        bytes.remove_prefix(amp + 1);
    }
    for (QChar& c : text) {
        if (c.unicode() >= kRawByteFirst && c.unicode() <= kRawByteLast) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

}  // namespace

int CodePageOfCharset(int charset, int fallback) {
    switch (charset) {
        case 0:
            return 1252;
        case 2:
            return 1252;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return fallback;
    }
}

QString DecodeCodePage(int codePage, std::string_view bytes) {
    if (codePage == 932) {
        return DecodeCp932(bytes);
    }
    QString text = DecoderFor(codePage).Decode(bytes);
    if (codePage == kJohabCodePage) {
        // glibc's Johab reads 0x5C as the won sign; Windows keeps ASCII there, as in every
        // code page it writes RTF in.
        text.replace(QChar(0x20A9), u'\\');
    }
    return text;
}

bool EncodeCodePage(int codePage, char32_t c, std::string& bytes) {
    if (!IsWindowsCodePage(codePage)) {
        codePage = kWesternCodePage;
    }
    std::string encoded;
    if (codePage == 932) {
        if (!EncodeCp932Char(c, encoded)) {
            return false;
        }
    } else {
        thread_local std::map<int, std::unique_ptr<IconvEncoder>> encoders;
        auto& encoder = encoders[codePage];
        if (!encoder) {
            encoder = std::make_unique<IconvEncoder>(IconvName(codePage).c_str());
        }
        if (!encoder->IsValid() || !encoder->Encode(c, encoded)) {
            return false;
        }
    }
    if (encoded.empty() || DecodeCodePage(codePage, encoded) != QString::fromUcs4(&c, 1)) {
        return false;
    }
    bytes = std::move(encoded);
    return true;
}
