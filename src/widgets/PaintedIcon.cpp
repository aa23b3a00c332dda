#include "widgets/PaintedIcon.h"

#include <QIconEngine>
#include <QPainter>

namespace {

class TPaintedIconEngine : public QIconEngine {
public:
    TPaintedIconEngine(TIconPaint paint, qreal disabledOpacity)
        : paint_(std::move(paint)), disabledOpacity_(disabledOpacity) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(disabledOpacity_);
        paint_(*painter, rect);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new TPaintedIconEngine(paint_, disabledOpacity_); }

private:
    TIconPaint paint_;
    qreal disabledOpacity_;
};

}  // namespace

QIcon PaintedIcon(TIconPaint paint, qreal disabledOpacity) {
    return QIcon(new TPaintedIconEngine(std::move(paint), disabledOpacity));
}
