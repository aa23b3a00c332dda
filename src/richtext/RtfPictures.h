#pragma once

#include <string>

class QImage;
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
