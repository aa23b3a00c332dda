#pragma once

#include <QString>
#include <QWidget>

#include "bridge/Colors.h"

enum TFocusBandType { fbNone, fbRect, fbBand };

// A focusable push button whose face is filled with its own colour and labelled with its
// caption: a colour swatch that can be clicked.
class TColorButton : public QWidget {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color);
    // Draw the caption in the inverse of the face colour, so it stays readable on any face.
    bool AutoFontColor() const { return FAutoFontColor; }
    void SetAutoFontColor(bool autoColor);
    TFocusBandType DrawFocus() const { return FDrawFocus; }
    void SetDrawFocus(TFocusBandType type);
    // A solid outline around the button while it has the focus.
    bool DrawFrame() const { return FDrawFrame; }
    void SetDrawFrame(bool frame);

    // The colour the caption is drawn in.
    QColor CaptionColor() const;
    bool Pressed() const { return FPressed; }

    // Moves the focus to the button and runs OnClick.
    void Click();

Q_SIGNALS:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetPressed(bool pressed);
    void DrawFocusRect(QPainter& p, QRect r) const;

    QString FCaption;
    TColor FColor = clBtnFace;
    TColor FFontColor = clBtnText;
    bool FAutoFontColor = false;
    TFocusBandType FDrawFocus = fbNone;
    bool FDrawFrame = false;
    bool FPressed = false;   // the face is drawn sunken
    bool FTracking = false;  // the left button went down here and is still held
};
