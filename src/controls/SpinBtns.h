#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>

#include "bridge/Colors.h"

class QToolButton;

// A right-aligned edit for whole numbers that may also show fixed-point numbers: Scale
// decimals, a Base multiplier between the scaled value and the text, and a limit on the number
// of characters kept. Typing admits only digits and one decimal point.
class TValueEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TValueEdit(QWidget* parent = nullptr);

    // Leading zeros removed (one digit kept) and a leading point given a "0": 007 -> 7,
    // 00 -> 0, .5 -> 0.5.
    static QString NormalizeText(QString s);

    // The text read as a whole number with the decimal point removed (12.5 reads 125); empty
    // or unreadable text reads 0, and a number beyond the integer range reads as its bound.
    int Value() const;
    void SetValue(int value);

    // Text as a fixed-point number with Scale decimals, times Base (Scale 2: 3.5 -> 350).
    int64_t ScaledValue() const;
    void SetScaledValue(int64_t value);

    int Scale() const { return FScale; }
    void SetScale(int scale);
    int Base() const { return FBase; }
    void SetBase(int base);  // ignores values below 1
    int MaxColumn() const { return FMaxColumn; }
    void SetMaxColumn(int columns);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);

Q_SIGNALS:
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool AcceptsKey(QChar key) const;
    void TextChanged();

    int FScale = 0;
    int FBase = 1;
    int FMaxColumn = 0;
    TColor FColor = clWindow;
};

// An up-down button pair keeping a position within [Min, Max], stepped by Increment. A new
// range applies to the position at its next move, so that its owner sees the change.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    int Position() const { return FPosition; }
    void SetPosition(int position);  // clamped to the range
    int Min() const { return FMin; }
    void SetMin(int min);
    int Max() const { return FMax; }
    void SetMax(int max);
    int Increment() const { return FIncrement; }
    void SetIncrement(int increment) { FIncrement = increment; }

    QToolButton* UpButton() const { return FUp; }
    QToolButton* DownButton() const { return FDown; }

Q_SIGNALS:
    // A button stepped the position.
    void OnClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int Clamp(int64_t position) const;
    void Step(int direction);

    QToolButton* FUp;
    QToolButton* FDown;
    int FPosition = 0;
    int FMin = 0;
    int FMax = 100;
    int FIncrement = 1;
};

// A numeric edit with an up-down pair on its right. Value is a 16-bit position within
// [Min, Max]; typing, the buttons and the arrow keys all go through SetValue.
class TValueSpin : public QWidget {
    Q_OBJECT
public:
    static constexpr int kUpDownWidth = 16;
    static constexpr int kGap = 2;

    explicit TValueSpin(QWidget* parent = nullptr);
    ~TValueSpin() override;

    int Value() const { return FUpDown->Position(); }
    // Does nothing when both the edit and the position already hold the value; otherwise
    // clamps it into the range, shows it and fires OnChange.
    void SetValue(int value);
    int Min() const { return FUpDown->Min(); }
    // The edit shows the new bound when its value lies outside; that change fires OnChange.
    void SetMin(int min);
    int Max() const { return FUpDown->Max(); }
    void SetMax(int max);
    int Increment() const { return FUpDown->Increment(); }
    void SetIncrement(int increment) { FUpDown->SetIncrement(increment); }
    TColor EditColor() const { return FEdit->Color(); }
    void SetEditColor(TColor color) { FEdit->SetColor(color); }

    TValueEdit* Edit() const { return FEdit; }
    TUpDown* UpDown() const { return FUpDown; }

Q_SIGNALS:
    void OnChange();
    void OnEnter();
    void OnExit();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FocusChanged(QWidget* old, QWidget* now);

    TValueEdit* FEdit;
    TUpDown* FUpDown;
    bool FFocusFromEdit = false;  // the edit has just lost the focus
    QMetaObject::Connection FFocusWatch;
};
