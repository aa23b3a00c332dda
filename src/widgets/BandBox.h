#pragma once

#include <QList>
#include <QSplitter>

class QLabel;

// A column of bands, each with a bold caption above its content; the user drags the border
// between them, and the last band takes whatever height is left.
class TBandBox : public QSplitter {
    Q_OBJECT
public:
    explicit TBandBox(QWidget* parent = nullptr);
    void AddBand(const QString& caption, QWidget* content);
    QString BandText(int band) const;
    void SetBandText(int band, const QString& text);
    void SetBandToolTip(int band, const QString& tip);
    // Puts a small control at the right end of a band's caption row, beside the caption.
    void SetBandCorner(int band, QWidget* corner);
    // The top of a band's content within the box, below the bands above it and its caption.
    int ContentTop(int band) const;
    // Moves the border above the second band so that its content starts at top; a top that
    // leaves no room for either band is ignored.
    void SetSecondContentTop(int top);

private:
    int CaptionHeight(int band) const;

    QList<QLabel*> captions_;
    // The caption rows, holding each caption and its corner control.
    QList<QWidget*> rows_;
};
