#include "bridge/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "bridge/TextCodec.h"
#include "settings/FontDesc.h"

const QString kPGothicFace = u"ＭＳ Ｐゴシック"_qs;
const QString kGothicFace = u"ＭＳ ゴシック"_qs;

void InstallFontSubstitutes() {
    const QStringList proportional = {u"IPAPGothic"_qs, u"Noto Sans CJK JP"_qs};
    const QStringList fixed = {u"IPAGothic"_qs, u"Noto Sans Mono CJK JP"_qs};
    QFont::insertSubstitutions(kPGothicFace, proportional);
    QFont::insertSubstitutions(u"MS PGothic"_qs, proportional);
    QFont::insertSubstitutions(u"MS UI Gothic"_qs, proportional);
    QFont::insertSubstitutions(kGothicFace, fixed);
    QFont::insertSubstitutions(u"MS Gothic"_qs, fixed);
    QFont::insertSubstitutions(u"ＭＳ Ｐ明朝"_qs, {u"IPAPMincho"_qs, u"Noto Serif CJK JP"_qs});
    QFont::insertSubstitutions(u"ＭＳ 明朝"_qs, {u"IPAMincho"_qs, u"Noto Serif CJK JP"_qs});
}

QFont FontForFace(const QString& face) {
    // Naming the first installed Japanese face directly spares the font lookup a search
    // through every installed font for a face that is not there. One face only: a font naming
    // several has the system's whole fallback list sorted at once for every style, size and
    // script, where a single face looks for fallbacks only when a character is missing from it.
    const QStringList substitutes = QFont::substitutes(face);
    const auto installed =
        std::find_if(substitutes.begin(), substitutes.end(),
                     [](const QString& family) { return QFontDatabase::hasFamily(family); });
    return QFont(installed != substitutes.end() ? *installed : face);
}

QFont DesignFont(const QString& face, int pixelHeight, bool bold) {
    QFont font = FontForFace(face);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QFont FontFromDesc(const TFontDesc& desc) {
    QFont font = FontForFace(FromCp932(desc.Name));
    if (desc.Size > 0)
        font.setPointSize(desc.Size);
    font.setBold(desc.Style & FontBold);
    font.setItalic(desc.Style & FontItalic);
    font.setUnderline(desc.Style & FontUnderline);
    font.setStrikeOut(desc.Style & FontStrikeOut);
    if (desc.Pitch == 2)
        font.setFixedPitch(true);
    return font;
}

TFontDesc DescFromFont(const QFont& font, const TFontDesc& base) {
    // Points at the 96 pixels per inch the settings' sizes assume, for a font sized in pixels.
    constexpr double kPointsPerPixel = 72.0 / 96.0;
    TFontDesc desc = base;
    desc.Name = ToCp932(font.family());
    desc.Size = font.pointSize() > 0
                    ? font.pointSize()
                    : static_cast<int32_t>(std::lround(font.pixelSize() * kPointsPerPixel));
    desc.Style = (font.bold() ? FontBold : 0) | (font.italic() ? FontItalic : 0) |
                 (font.underline() ? FontUnderline : 0) | (font.strikeOut() ? FontStrikeOut : 0);
    return desc;
}
