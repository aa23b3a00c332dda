#pragma once

#include <QFont>
#include <QString>

struct TFontDesc;

// The Windows faces that settings and designs name.
extern const QString kPGothicFace;  // "ＭＳ Ｐゴシック"
extern const QString kGothicFace;   // "ＭＳ ゴシック"

// Maps the Windows face names kept in settings and design fonts ("ＭＳ Ｐゴシック" and its
// relatives) to installed Japanese faces. Runs once before the first window is built.
void InstallFontSubstitutes();

// A font of the installed face that a face name kept in settings or designs maps to.
QFont FontForFace(const QString& face);

// A design font: a face name and a character height in pixels.
QFont DesignFont(const QString& face, int pixelHeight, bool bold = false);

// A font kept in the settings as a real font (face, size in points, styles).
QFont FontFromDesc(const TFontDesc& desc);

// The settings' form of a font the user chose: its face, size in points and styles; the
// character set, colour and pitch, which a chosen font does not carry, come from base.
TFontDesc DescFromFont(const QFont& font, const TFontDesc& base);
