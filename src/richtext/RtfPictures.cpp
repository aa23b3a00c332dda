#include "richtext/RtfPictures.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QSizeF>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <QtEndian>

#include <cstdint>
#include <utility>

namespace {

using namespace Qt::StringLiterals;

// What the decoder may allocate for one picture: its largest size at four bytes a pixel.
constexpr int kMaxPictureMegabytes = static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024));

// The sizes of the bitmap headers a DIB may begin with.
bool IsDibHeader(QByteArrayView bytes) {
    if (bytes.size() < 4) {
        return false;
    }
    const uint32_t size = qFromLittleEndian<uint32_t>(bytes.data());
    for (const uint32_t known : {12u, 40u, 52u, 56u, 108u, 124u}) {
        if (size == known) {
            return true;
        }
    }
    return false;
}

// The clipboard types of the pictures a body holds, with the kind each is read as.
constexpr std::pair<const char*, const char*> kMimePictures[] = {
    {"image/png", "PNG"}, {"image/jpeg", "JPEG"}, {"image/bmp", "BMP"}};

}  // namespace

#include <algorithm>

#include "richtext/RtfFormat.h"

namespace {

// The most either side of a picture is shown at, in pixels: 22 inches.
constexpr double kMaxShownPixels = 22 * 96;
// Hex digits per line of picture data, as Windows rich-text controls write them.
constexpr int kHexLine = 128;

}  // namespace

void CopyPictures(const QTextDocument& from, QTextDocument& to) {
    for (QTextBlock block = from.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QUrl name(format.toImageFormat().name());
                to.addResource(QTextDocument::ImageResource, name,
                               from.resource(QTextDocument::ImageResource, name));
            }
        }
    }
}

std::string PngPictureGroup(const QImage& image, QSizeF shown) {
    QByteArray png;
    QBuffer buffer(&png);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    const double largest = std::max(shown.width(), shown.height());
    if (largest > kMaxShownPixels)
        shown *= kMaxShownPixels / largest;
    const auto twips = [](double pixels) {
        return std::max(1, static_cast<int>(pixels * kTwipsPerPixel + 0.5));
    };
    std::string group = "{\\pict\\pngblip\\picw" + std::to_string(image.width()) + "\\pich" +
                        std::to_string(image.height()) + "\\picwgoal" +
                        std::to_string(twips(shown.width())) + "\\pichgoal" +
                        std::to_string(twips(shown.height())) + "\r\n";
    const QByteArray hex = png.toHex();
    group.reserve(group.size() + static_cast<size_t>(hex.size() + hex.size() / kHexLine * 2) + 3);
    for (qsizetype i = 0; i < hex.size(); i += kHexLine) {
        group.append(hex.constData() + i,
                     static_cast<size_t>(std::min<qsizetype>(kHexLine, hex.size() - i)));
        group += "\r\n";
    }
    group += "}";
    return group;
}

QByteArray PictureDecodeFormat(const QString& kind, QByteArrayView bytes) {
    // PNG and JPEG are told apart by their bytes, as a writer that mixed up the two words
    // still showed its picture.
    if (kind == u"PNG"_s || kind == u"JPEG"_s) {
        if (bytes.startsWith("\x89PNG\r\n\x1a\n")) {
            return "png";
        }
        if (bytes.startsWith("\xff\xd8\xff")) {
            return "jpeg";
        }
    } else if (kind == u"BMP"_s && bytes.startsWith("BM")) {
        return "bmp";
    } else if (kind == u"DIB"_s && IsDibHeader(bytes)) {
        return "dib";
    }
    return QByteArray();
}

QImage DecodePicture(const QString& kind, const QByteArray& bytes) {
    const QByteArray format = PictureDecodeFormat(kind, bytes);
    if (format.isEmpty()) {
        return QImage();
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(kMaxPictureMegabytes);
    // The size comes from the header alone: a picture too large is refused before its pixels
    // are read.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        qint64{size.width()} * size.height() > kMaxPicturePixels) {
        return QImage();
    }
    return reader.read();
}

QImage PictureFromMime(const QMimeData& source) {
    bool offersOtherImages = false;
    for (const QString& type : source.formats()) {
        if (type.startsWith(u"image/"_s)) {
            for (const auto& [mime, kind] : kMimePictures) {
                if (type == QLatin1String(mime)) {
                    if (QImage image = DecodePicture(QLatin1String(kind), source.data(type));
                        !image.isNull()) {
                        return image;
                    }
                }
            }
            offersOtherImages = true;
        }
    }
    // Another program's picture in a format of its own would be decoded by guessing; an image
    // this program put there has no bytes to guess from.
    if (!offersOtherImages && source.hasImage()) {
        return qvariant_cast<QImage>(source.imageData());
    }
    return QImage();
}
