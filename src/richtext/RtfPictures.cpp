#include "richtext/RtfPictures.h"

#include <QBuffer>
#include <QImage>
#include <QSizeF>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

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
