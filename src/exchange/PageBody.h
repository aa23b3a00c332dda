#pragma once

#include <QString>

#include "storage/DataInfo.h"

class QTextDocument;

// A page's body as a document, for the formats that carry pages out and in.

// Fills document with the body rec's page shows (ReadPageBody).
void ReadBody(const TDataInfo& rec, QTextDocument& document);

// Sets rec's body to document: its RTF and the plain text of its field, both empty when the
// document holds nothing.
void WriteBody(const QTextDocument& document, TDataInfo& rec);

// Writes each picture of document as a PNG file into folder (made when missing), named prefix
// followed by "-1.png", "-2.png", ..., and names the picture in the document by the file's path
// relative to base, so that HTML and Markdown written from the document show it. Throws
// VelmoraError when a file cannot be written.
void SavePictures(QTextDocument& document, const QString& base, const QString& folder,
                  const QString& prefix);

// The pictures of a document read from Markdown name files relative to base: each one that
// names a PNG, JPEG or BMP file inside the folder root becomes a picture of the body (kept in
// its RTF); one that cannot be read is dropped. A name leading outside root is not read, so an
// imported note cannot pull in any other file of the user's.
void EmbedPictures(QTextDocument& document, const QString& base, const QString& root);

// The texts of a record as QString with LF line ends, and back with CR LF, line ends at the
// end left out.
QString RecordText(const std::string& cp932);
std::string ToRecordLines(const QString& text);
