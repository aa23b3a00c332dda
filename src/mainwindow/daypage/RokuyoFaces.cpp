#include "mainwindow/daypage/RokuyoFaces.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

#include "bridge/TextCodec.h"
#include "calendar/QReki.h"

namespace {

constexpr int kRokuyoPointSize = 7;
constexpr int kRokuyoMinPixels = 7;
// Faces kept measured; the grid's font changes only through the options.
constexpr size_t kLooksKept = 16;

}  // namespace

const TRokuyoFaces::TLook* TRokuyoFaces::Fitting(const QFont& cellFont, const QSize& room) {
    QFont font = cellFont;
    font.setPointSize(kRokuyoPointSize);
    for (int pixels = QFontInfo(font).pixelSize(); pixels >= kRokuyoMinPixels; --pixels) {
        font.setPixelSize(pixels);
        const TLook& look = LookOf(font);
        if (look.Size.width() <= room.width() && look.Size.height() <= room.height()) {
            return &look;
        }
    }
    return nullptr;
}

std::optional<TRokuyoFaces::TLabel> TRokuyoFaces::FittingText(const QFont& cellFont,
                                                              const QString& text,
                                                              const QSize& room) {
    if (text.isEmpty())
        return std::nullopt;
    QFont font = cellFont;
    font.setPointSize(kRokuyoPointSize);
    for (int pixels = QFontInfo(font).pixelSize(); pixels >= kRokuyoMinPixels; --pixels) {
        font.setPixelSize(pixels);
        const TLook& look = LookOf(font);
        const QRect ink = QFontMetrics(font).tightBoundingRect(text);
        const int ascent = std::max(look.Ascent, -ink.top());
        const QSize size(ink.width(),
                         ascent + std::max(look.Size.height() - look.Ascent, ink.bottom() + 1));
        if (size.width() <= room.width() && size.height() <= room.height())
            return TLabel{font, text, ink, size, ascent};
    }
    return std::nullopt;
}

const TRokuyoFaces::TLook& TRokuyoFaces::LookOf(const QFont& font) {
    const auto found = std::find_if(looks_.begin(), looks_.end(),
                                    [&font](const TLook& l) { return l.Font == font; });
    if (found != looks_.end()) {
        return *found;
    }
    if (looks_.size() >= kLooksKept) {
        looks_.pop_front();
    }
    TLook& look = looks_.emplace_back();
    const QFontMetrics metrics(font);
    look.Font = font;
    int ascent = 0;
    int descent = 0;
    for (size_t i = 0; i < look.Names.size(); ++i) {
        look.Names[i] = FromCp932(RokuyoNameAt(static_cast<int>(i)));
        look.Inks[i] = metrics.tightBoundingRect(look.Names[i]);
        look.Size.setWidth(std::max(look.Size.width(), look.Inks[i].width()));
        ascent = std::max(ascent, -look.Inks[i].top());
        descent = std::max(descent, look.Inks[i].bottom() + 1);
    }
    look.Size.setHeight(ascent + descent);
    look.Ascent = ascent;
    return look;
}
