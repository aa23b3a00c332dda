#pragma once

#include <QTextFormat>

// What the RTF reader and writer agree on beyond Qt's own formats.

// Character format property: the Windows character set (\fcharset) that the run's face carried
// in the RTF it was read from, so that a rewrite keeps the face's font-table entry.
inline constexpr int kRtfCharsetProperty = QTextFormat::UserProperty + 0x5201;
// A run in a face the file names but this computer lacks is shown in the installed face that
// stands for it: {the file's face, the face shown}. Written back, the file's face is kept unless
// the run was given another face since.
inline constexpr int kRtfFaceProperty = QTextFormat::UserProperty + 0x5209;

// Block format properties of a list paragraph: the first-line and left indents (twips) it was
// read with. Qt draws list markers at the list's own indent, so these are kept aside for the
// rewrite.
inline constexpr int kRtfListFirstIndentProperty = QTextFormat::UserProperty + 0x5202;
inline constexpr int kRtfListLeftIndentProperty = QTextFormat::UserProperty + 0x5203;

// Indents and spacings are kept in the document in pixels at 96 dpi; RTF counts twips
// (1/1440 inch), so one pixel is 15 twips.
inline constexpr double kTwipsPerPixel = 15.0;

// The largest font size either side takes, in half-points (about 1638 pt).
inline constexpr int kMaxHalfPoints = 3276;

// Character format property of a picture, object or footnote: the bytes of the RTF group it
// was read from (QByteArray), written back unchanged.
inline constexpr int kRtfGroupProperty = QTextFormat::UserProperty + 0x5204;

// Character format properties of hidden or revision-deleted text, which the body keeps but
// does not show: the text (QString), and whether it was deleted rather than hidden.
inline constexpr int kRtfHiddenTextProperty = QTextFormat::UserProperty + 0x5205;
inline constexpr int kRtfDeletedProperty = QTextFormat::UserProperty + 0x5206;

// The object type of what is kept unseen (footnotes, hidden text): no handler draws it, so it
// takes no room.
inline constexpr int kRtfKeptObjectType = QTextFormat::UserObject + 0x52;

// Block format property of the empty block Qt keeps before a table that begins a body or
// follows another table; it is no paragraph of the body.
inline constexpr int kRtfLeadBlockProperty = QTextFormat::UserProperty + 0x5207;

// Table format property: the left edge of the table's rows (\trleft), twips.
inline constexpr int kRtfRowLeftProperty = QTextFormat::UserProperty + 0x5208;

// The scheme of the names under which a document holds the pictures of its body.
inline constexpr char kRtfPictureScheme[] = "velmora-picture";
