#include "controls/SpinBtns.h"

#include <QApplication>
#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>
#include <climits>

namespace {

constexpr int kInitialEditWidth = 40;

// Where ReadDigits stops growing: far beyond any int, and low enough that one more digit
// cannot overflow.
constexpr int64_t kDigitsCap = INT64_MAX / 100;

// Digits of a text read as a whole number, saturating at kDigitsCap; anything but digits
// (a stray sign or letter from pasting) makes it unreadable, which reads 0.
int64_t ReadDigits(const QString& digits) {
    int64_t value = 0;
    for (QChar ch : digits) {
        if (ch.unicode() < '0' || ch.unicode() > '9') {
            return 0;
        }
        value = std::min<int64_t>(value * 10 + (ch.unicode() - '0'), kDigitsCap);
    }
    return value;
}

}  // namespace

TValueEdit::TValueEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setText(QStringLiteral("0"));
    resize(kInitialEditWidth, sizeHint().height());
    connect(this, &QLineEdit::textChanged, this, &TValueEdit::TextChanged);
}

QString TValueEdit::NormalizeText(QString s) {
    while (s.size() >= 2 && s.startsWith(QLatin1Char('0'))) {
        s.remove(0, 1);
    }
    if (s.startsWith(QLatin1Char('.'))) {
        s.prepend(QLatin1Char('0'));
    }
    return s;
}

int TValueEdit::Value() const {
    QString digits = text();
    digits.remove(QLatin1Char('.'));
    return static_cast<int>(std::min<int64_t>(ReadDigits(digits), INT_MAX));
}

void TValueEdit::SetValue(int value) {
    setText(QString::number(value));
}

int64_t TValueEdit::ScaledValue() const {
    QString s = text().isEmpty() ? QStringLiteral("0") : text();
    int decimals = 0;
    const qsizetype point = s.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        decimals = static_cast<int>(s.size() - point - 1);
        s.remove(point, 1);
    }
    if (FScale > decimals) {
        s.append(QString(FScale - decimals, QLatin1Char('0')));
    }
    const int64_t digits = ReadDigits(s);
    return digits > INT64_MAX / FBase ? INT64_MAX : digits * FBase;
}

void TValueEdit::SetScaledValue(int64_t value) {
    const int64_t whole = value / FBase;
    QString s = QString::number(whole < 0 ? -whole : whole);
    if (FScale > 0) {
        while (s.size() <= FScale) {
            s.prepend(QLatin1Char('0'));
        }
        s.insert(s.size() - FScale, QLatin1Char('.'));
    }
    if (whole < 0) {
        s.prepend(QLatin1Char('-'));
    }
    setText(s);
}

void TValueEdit::SetScale(int scale) {
    if (scale > 0 && scale > FScale) {
        const qsizetype point = text().indexOf(QLatin1Char('.'));
        if (point >= 0 && text().size() - point - 1 > scale) {
            setText(text().left(point + 1 + scale));
        }
    }
    FScale = scale;
}

void TValueEdit::SetBase(int base) {
    if (base <= 0 || base == FBase) {
        return;
    }
    FBase = base;
    SetScaledValue(ScaledValue());
}

void TValueEdit::SetMaxColumn(int columns) {
    if (FMaxColumn == columns) {
        return;
    }
    FMaxColumn = columns;
    TextChanged();
}

void TValueEdit::SetColor(TColor color) {
    if (FColor == color) {
        return;
    }
    FColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(color));
    setPalette(pal);
}

bool TValueEdit::AcceptsKey(QChar key) const {
    const QString s = text();
    const qsizetype point = s.indexOf(QLatin1Char('.'));
    if (point >= 0 && key == QLatin1Char('.')) {
        return false;
    }
    // With a full set of decimals, nothing more is typed after the point.
    if (point >= 0 && cursorPosition() > point && FScale > 0 && s.size() - point - 1 >= FScale &&
        key.unicode() >= 32) {
        return false;
    }
    return key.unicode() < 32 || key == QLatin1Char('.') ||
           (key.unicode() >= '0' && key.unicode() <= '9');
}

void TValueEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.size() != 1 || typed[0].unicode() < 32) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!AcceptsKey(typed[0])) {
        event->accept();
        return;
    }
    // Leading zeros go before the key lands, so typing 5 into "0" gives 5, not 05.
    QString normal = NormalizeText(text() + typed);
    normal.chop(1);
    if (normal != text()) {
        setText(normal);
    }
    QLineEdit::keyPressEvent(event);
}

void TValueEdit::TextChanged() {
    const QString normal = NormalizeText(text());
    if (normal != text()) {
        // The change this causes runs this handler again, which reports it.
        setText(normal);
        return;
    }
    if (FMaxColumn > 0 && text().size() > FMaxColumn) {
        setText(NormalizeText(text().right(FMaxColumn)));
        end(false);
        return;
    }
    Q_EMIT OnChange();
}

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), FUp(new QToolButton(this)), FDown(new QToolButton(this)) {
    for (QToolButton* b : {FUp, FDown}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    FUp->setArrowType(Qt::UpArrow);
    FDown->setArrowType(Qt::DownArrow);
    connect(FUp, &QToolButton::clicked, this, [this] { Step(1); });
    connect(FDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

int TUpDown::Clamp(int64_t position) const {
    const int lo = std::min(FMin, FMax);
    const int hi = std::max(FMin, FMax);
    return static_cast<int>(std::clamp<int64_t>(position, lo, hi));
}

void TUpDown::SetPosition(int position) {
    FPosition = Clamp(position);
}

void TUpDown::SetMin(int min) {
    FMin = std::clamp(min, int{INT16_MIN}, int{INT16_MAX});
}

void TUpDown::SetMax(int max) {
    FMax = std::clamp(max, int{INT16_MIN}, int{INT16_MAX});
}

void TUpDown::Step(int direction) {
    FPosition = Clamp(static_cast<int64_t>(FPosition) + int64_t{direction} * FIncrement);
    Q_EMIT OnClick();
}

void TUpDown::resizeEvent(QResizeEvent*) {
    const int upHeight = height() / 2;
    FUp->setGeometry(0, 0, width(), upHeight);
    FDown->setGeometry(0, upHeight, width(), height() - upHeight);
}

TValueSpin::TValueSpin(QWidget* parent)
    : QWidget(parent), FEdit(new TValueEdit(this)), FUpDown(new TUpDown(this)) {
    setFocusPolicy(Qt::TabFocus);
    FEdit->setFocusPolicy(Qt::ClickFocus);
    resize(FEdit->width() + kUpDownWidth + kGap, FEdit->height());
    connect(FEdit, &TValueEdit::OnChange, this, [this] { SetValue(FEdit->Value()); });
    connect(FUpDown, &TUpDown::OnClick, this, [this] {
        // The up-down has moved already; show its position and report the change.
        FEdit->SetValue(FUpDown->Position());
        Q_EMIT OnChange();
    });
    FEdit->installEventFilter(this);
    FFocusWatch = connect(qApp, &QApplication::focusChanged, this, &TValueSpin::FocusChanged);
}

TValueSpin::~TValueSpin() {
    // Closing the widget moves the focus, and QWidget's destructor would still deliver that to
    // FocusChanged of a spin that is already gone.
    disconnect(FFocusWatch);
}

void TValueSpin::SetValue(int value) {
    if (value == FEdit->Value() && value == FUpDown->Position()) {
        return;
    }
    FUpDown->SetPosition(value);
    FEdit->SetValue(FUpDown->Position());
    Q_EMIT OnChange();
}

void TValueSpin::SetMin(int min) {
    FUpDown->SetMin(min);
    if (FEdit->Value() < FUpDown->Min()) {
        FEdit->SetValue(FUpDown->Min());
    }
}

void TValueSpin::SetMax(int max) {
    FUpDown->SetMax(max);
    if (FEdit->Value() > FUpDown->Max()) {
        FEdit->SetValue(FUpDown->Max());
    }
}

void TValueSpin::resizeEvent(QResizeEvent*) {
    FUpDown->setGeometry(width() - kUpDownWidth, 0, kUpDownWidth, height());
    FEdit->setGeometry(0, 0, std::max(width() - kUpDownWidth - kGap, 0), height());
}

void TValueSpin::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        SetValue(Value() + 1);
    } else if (event->key() == Qt::Key_Down) {
        SetValue(Value() - 1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void TValueSpin::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Coming back from the edit (Shift+Tab) leaves the focus here, where the arrow keys step.
    if (!FFocusFromEdit) {
        FEdit->setFocus(event->reason());
    }
}

bool TValueSpin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FEdit && event->type() == QEvent::FocusOut) {
        FFocusFromEdit = true;
    }
    return QWidget::eventFilter(watched, event);
}

void TValueSpin::FocusChanged(QWidget* old, QWidget* now) {
    const bool wasIn = old != nullptr && (old == this || isAncestorOf(old));
    const bool isIn = now != nullptr && (now == this || isAncestorOf(now));
    FFocusFromEdit = false;
    if (!wasIn && isIn) {
        Q_EMIT OnEnter();
    } else if (wasIn && !isIn) {
        Q_EMIT OnExit();
    }
}
