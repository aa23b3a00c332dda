#include "mainwindow/formatting/Formatting.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <cmath>

#include "controls/SpinBtns.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/PageState.h"
#include "mainwindow/formatting/ClipboardCommands.h"
#include "richtext/RtfFormat.h"

namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0;
constexpr int kTwipsPerPoint = 20;

enum TAlign { AlignLeftTag = 0, AlignRightTag = 1, AlignCenterTag = 2 };

// The document keeps indents in pixels at 96 dpi; the ruler works in whole points.
int IndentPoints(qreal pixels) {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel)) / kTwipsPerPoint;
}

qreal IndentPixels(int points) {
    return points * kTwipsPerPoint / kTwipsPerPixel;
}

double PointSizeOf(const QTextCharFormat& format) {
    if (format.hasProperty(QTextFormat::FontPointSize))
        return format.fontPointSize();
    if (format.hasProperty(QTextFormat::FontPixelSize))
        return format.intProperty(QTextFormat::FontPixelSize) * kPointsPerPixel;
    return 0;
}

// The attributes a whole selection shares: a style counts only when every character has it;
// face, size and colour are those of its first character.
QTextCharFormat SelectionAttributes(const QTextCursor& selection) {
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    QTextCursor first(selection.document());
    first.setPosition(start + 1);
    QTextCharFormat shared = first.charFormat();
    bool bold = true;
    bool italic = true;
    bool underline = true;
    for (QTextBlock block = selection.document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const QTextCharFormat f = fragment.charFormat();
            bold = bold && f.fontWeight() >= QFont::DemiBold;
            italic = italic && f.fontItalic();
            underline = underline && f.fontUnderline();
        }
    }
    shared.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    shared.setFontItalic(italic);
    shared.setFontUnderline(underline);
    return shared;
}

}  // namespace

TFormatting::TFormatting(QTextEdit* body, const TMainActions& actions, TPageState& state,
                         TClipboardCommands& clipboard, QObject* parent)
    : QObject(parent),
      view_(actions),
      body_(body),
      actions_(actions),
      state_(state),
      clipboard_(clipboard) {
    ChooseColor = [this](const QColor& initial) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, body_->window());
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
    // A justified paragraph shows none of the three alignments.
    actions_.LeftAction->actionGroup()->setExclusionPolicy(
        QActionGroup::ExclusionPolicy::ExclusiveOptional);

    connect(body_, &QTextEdit::cursorPositionChanged, this, &TFormatting::SelectionChange);
    connect(body_, &QTextEdit::selectionChanged, this, &TFormatting::SelectionChange);
    // A format chosen at the caret, a Return or a loaded page changes what typing gets.
    connect(body_, &QTextEdit::currentCharFormatChanged, this, &TFormatting::SelectionChange);
    connect(actions_.BoldAction, &QAction::triggered, this, &TFormatting::BoldButtonClick);
    connect(actions_.ItalicAction, &QAction::triggered, this, &TFormatting::ItalicButtonClick);
    connect(actions_.UnderAction, &QAction::triggered, this, &TFormatting::UnderlineButtonClick);
    connect(actions_.ColorAction, &QAction::triggered, this, &TFormatting::ColorActionExecute);
    connect(actions_.LeftAction, &QAction::triggered, this,
            [this] { LineAlignClick(AlignLeftTag); });
    connect(actions_.RightAction, &QAction::triggered, this,
            [this] { LineAlignClick(AlignRightTag); });
    connect(actions_.CenterAction, &QAction::triggered, this,
            [this] { LineAlignClick(AlignCenterTag); });
    connect(view_.FontSize, &TValueSpin::OnChange, this, &TFormatting::FontSizeChange);
    connect(view_.FontName, &QComboBox::currentIndexChanged, this, &TFormatting::FontNameChange);
    // A face chosen, or a size ended with Return (it applies at every digit typed), sends the
    // typing back to the body.
    connect(view_.FontName, &QComboBox::activated, this, &TFormatting::ReturnToBody);
    connect(view_.FontSize->Edit(), &QLineEdit::returnPressed, this, &TFormatting::ReturnToBody);
    connect(view_.TrackBar1, &QSlider::valueChanged, this, &TFormatting::TrackBar1Change);
    // The ruler follows the page panel's width.
    view_.TrackBar1->installEventFilter(this);
    {
        const auto updating = state_.UpdatingScope();
        view_.FontSize->SetValue(BodyPointSize());
    }
    Panel1Resize();
}

bool TFormatting::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_.TrackBar1 && event->type() == QEvent::Resize)
        Panel1Resize();
    return QObject::eventFilter(watched, event);
}

int TFormatting::BodyPointSize() const {
    const QFont body = body_->font();
    if (body.pointSizeF() > 0)
        return static_cast<int>(std::lround(body.pointSizeF()));
    return static_cast<int>(std::lround(body.pixelSize() * kPointsPerPixel));
}

QString TFormatting::ShownFace(const QTextCharFormat& format) const {
    return QFontInfo(format.font().resolve(body_->document()->defaultFont())).family();
}

void TFormatting::ReturnToBody() {
    body_->setFocus(Qt::OtherFocusReason);
}

QTextCharFormat TFormatting::CurrentAttributes() const {
    const QTextCursor cursor = body_->textCursor();
    if (cursor.hasSelection())
        return SelectionAttributes(cursor);
    // What QTextCursor::insertText gives the next character.
    return cursor.charFormat();
}

void TFormatting::SetCurrentAttributes(const QTextCharFormat& change) {
    // With a selection this formats it; at the caret it sets the format typed next.
    body_->mergeCurrentCharFormat(change);
    Q_EMIT Formatted();
    SelectionChange();
}

void TFormatting::SelectionChange() {
    const auto updating = state_.UpdatingScope();
    const QTextBlockFormat block = body_->textCursor().blockFormat();
    view_.TrackBar1->setValue(IndentToPosition(IndentPoints(block.textIndent())));

    const QTextCharFormat attributes = CurrentAttributes();
    actions_.BoldAction->setChecked(attributes.fontWeight() >= QFont::DemiBold);
    actions_.ItalicAction->setChecked(attributes.fontItalic());
    actions_.UnderAction->setChecked(attributes.fontUnderline());
    const double points = PointSizeOf(attributes);
    view_.FontSize->SetValue(points > 0 ? static_cast<int>(std::lround(points)) : BodyPointSize());
    // Before the faces are listed (ListFonts) there is none to select, and no face to look up.
    view_.FontName->setCurrentIndex(
        view_.FontName->count() == 0 ? -1 : view_.FontName->findText(ShownFace(attributes)));

    const Qt::Alignment align = block.alignment() & Qt::AlignHorizontal_Mask;
    const bool justified = (align & Qt::AlignJustify) == Qt::AlignJustify;
    const bool centred = !justified && (align & Qt::AlignHCenter);
    const bool right = !justified && !centred && (align & Qt::AlignRight);
    actions_.LeftAction->setChecked(!justified && !centred && !right);
    actions_.RightAction->setChecked(right);
    actions_.CenterAction->setChecked(centred);

    clipboard_.UpdateCutCopy(body_);
}

void TFormatting::ListFonts() {
    if (fontsListed_)
        return;
    fontsListed_ = true;
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    {
        const auto updating = state_.UpdatingScope();
        view_.FontName->addItems(families);
    }
    SelectionChange();
}

void TFormatting::SetStyle(int property, bool on) {
    if (state_.Updating())
        return;
    QTextCharFormat change;
    if (property == QTextFormat::FontWeight)
        change.setFontWeight(on ? QFont::Bold : QFont::Normal);
    else if (property == QTextFormat::FontItalic)
        change.setFontItalic(on);
    else
        change.setFontUnderline(on);
    SetCurrentAttributes(change);
}

void TFormatting::BoldButtonClick(bool checked) {
    SetStyle(QTextFormat::FontWeight, checked);
}

void TFormatting::ItalicButtonClick(bool checked) {
    SetStyle(QTextFormat::FontItalic, checked);
}

void TFormatting::UnderlineButtonClick(bool checked) {
    SetStyle(QTextFormat::FontUnderline, checked);
}

void TFormatting::ColorActionExecute() {
    if (state_.Updating())
        return;
    const QTextCharFormat current = CurrentAttributes();
    const QColor initial = current.hasProperty(QTextFormat::ForegroundBrush)
                               ? current.foreground().color()
                               : body_->palette().color(QPalette::Text);
    const std::optional<QColor> chosen = ChooseColor(initial);
    if (!chosen)
        return;
    QTextCharFormat change;
    change.setForeground(*chosen);
    SetCurrentAttributes(change);
}

void TFormatting::LineAlignClick(int tag) {
    if (state_.Updating())
        return;
    const Qt::Alignment align = tag == AlignRightTag    ? Qt::AlignRight
                                : tag == AlignCenterTag ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
    body_->setAlignment(align);
    Q_EMIT Formatted();
    SelectionChange();
}

void TFormatting::FontSizeChange() {
    if (state_.Updating())
        return;
    // A size of 0 has no letters to show; typing "14" passes through "1", which is a size.
    const int points = view_.FontSize->Value();
    if (points < 1)
        return;
    QTextCharFormat change;
    change.setFontPointSize(points);
    SetCurrentAttributes(change);
}

void TFormatting::FontNameChange() {
    if (state_.Updating() || view_.FontName->currentIndex() < 0)
        return;
    QTextCharFormat change;
    change.setFontFamilies(QStringList{view_.FontName->currentText()});
    SetCurrentAttributes(change);
}

void TFormatting::TrackBar1Change(int position) {
    if (state_.Updating())
        return;
    QTextBlockFormat change;
    change.setTextIndent(IndentPixels(PositionToIndent(position)));
    body_->textCursor().mergeBlockFormat(change);
    Q_EMIT Formatted();
}

void TFormatting::Panel1Resize() {
    // A narrower ruler moves its thumb back into range; that is no indent the user chose.
    const auto updating = state_.UpdatingScope();
    const int tick = std::max(BodyPointSize(), 1);
    view_.TrackBar1->setMaximum(std::max(view_.TrackBar1->contentsRect().width(), 0));
    view_.TrackBar1->setTickInterval(tick);
    view_.TrackBar1->setSingleStep(tick);
    view_.TrackBar1->setPageStep(2 * tick);
}
