#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <string>

class QMimeData;
class QSizeF;
class QTextDocument;

// The pictures of a body live among the resources of the document it was read into. A fragment
// of that document inserted into another names pictures the other lacks: this gives it those of
// from, under the same names.
void CopyPictures(const QTextDocument& from, QTextDocument& to);

// The RTF picture group that keeps image as PNG, shown at the given size in pixels at 96 dpi,
// as a body read from a file holds its pictures; empty when the image cannot be encoded. A
// size beyond what a reader takes (22 inches a side) is scaled down, keeping its proportions.
std::string PngPictureGroup(const QImage& image, QSizeF shown);

// A picture larger than this is shown as a placeholder: its decoded pixels would cost more than
// a page is worth, and a crafted header could ask for any amount.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr qint64 kMaxPicturePixels = 32LL * 1024 * 1024;

// The image format that decodes a picture of the given kind ("PNG", "JPEG", "DIB", "BMP", as
// the body or the clipboard names it), or empty when it is not to be decoded. Only the raster
// formats a body holds are decoded, each only when the bytes begin as that format does: no
// image plugin guesses the format from the content, for some (SVG) read other files.
QByteArray PictureDecodeFormat(const QString& kind, QByteArrayView bytes);

// The picture the bytes hold, decoded from them alone; a null image when its kind is not
// decoded, its size is too large or the bytes are damaged.
QImage DecodePicture(const QString& kind, const QByteArray& bytes);

// The picture on a clipboard or in a drop, taken from the PNG, JPEG or BMP bytes offered, or
// from an image put there by this program; null when there is none of those.
QImage PictureFromMime(const QMimeData& source);
