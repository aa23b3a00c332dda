#include "mainwindow/formatting/ClipboardCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include "mainwindow/MainActions.h"

namespace {

enum class TEditCommand { Cut, Copy, Paste };

template <typename Edit>
void Run(Edit* edit, TEditCommand command) {
    switch (command) {
        case TEditCommand::Cut:
            edit->cut();
            break;
        case TEditCommand::Copy:
            edit->copy();
            break;
        case TEditCommand::Paste:
            edit->paste();
            break;
    }
}

void RunOn(QWidget* editor, TEditCommand command) {
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        Run(line, command);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(editor))
        Run(plain, command);
    else if (auto* rich = qobject_cast<QTextEdit*>(editor))
        Run(rich, command);
}

bool HasSelection(const QWidget* editor) {
    if (auto* line = qobject_cast<const QLineEdit*>(editor))
        return line->hasSelectedText();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(editor))
        return plain->textCursor().hasSelection();
    if (auto* rich = qobject_cast<const QTextEdit*>(editor))
        return rich->textCursor().hasSelection();
    return false;
}

}  // namespace

TClipboardCommands::TClipboardCommands(QTextEdit* body, const QList<QWidget*>& others,
                                       const TMainActions& actions, QObject* parent)
    : QObject(parent), body_(body), others_(others), actions_(actions) {
    connect(actions_.CutAction, &QAction::triggered, this, &TClipboardCommands::CutActionExecute);
    connect(actions_.CopyAction, &QAction::triggered, this, &TClipboardCommands::CopyActionExecute);
    connect(actions_.PasteAction, &QAction::triggered, this,
            &TClipboardCommands::PasteActionExecute);
    // The memos take their mouse on the viewport.
    for (QWidget* editor : others_) {
        auto* plain = qobject_cast<QPlainTextEdit*>(editor);
        (plain ? plain->viewport() : editor)->installEventFilter(this);
    }
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TClipboardCommands::ClipboardChanged);
    // A picture pastes into the body only: the target follows the focus.
    connect(qApp, &QApplication::focusChanged, this, &TClipboardCommands::UpdatePaste);
    // What the clipboard holds is asked of the program that holds it, and the answer is checked
    // against every picture format Qt can read: once the window is up, not on the way to it.
    UpdatePaste();
    QTimer::singleShot(0, this, &TClipboardCommands::ClipboardChanged);
}

QWidget* TClipboardCommands::TargetEdit() const {
    for (QWidget* editor : others_)
        if (editor->hasFocus())
            return editor;
    return body_;
}

void TClipboardCommands::CutActionExecute() {
    QWidget* target = TargetEdit();
    RunOn(target, TEditCommand::Cut);
    UpdateCutCopy(target);
}

void TClipboardCommands::CopyActionExecute() {
    QWidget* target = TargetEdit();
    RunOn(target, TEditCommand::Copy);
    UpdateCutCopy(target);
}

void TClipboardCommands::PasteActionExecute() {
    QWidget* target = TargetEdit();
    RunOn(target, TEditCommand::Paste);
    UpdateCutCopy(target);
}

void TClipboardCommands::UpdateCutCopy(QWidget* editor) {
    const bool selected = HasSelection(editor);
    actions_.CutAction->setEnabled(selected);
    actions_.CopyAction->setEnabled(selected);
}

void TClipboardCommands::ClipboardChanged() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    clipboardText_ = data && data->hasText();
    clipboardPicture_ = data && data->hasImage();
    UpdatePaste();
}

void TClipboardCommands::UpdatePaste() {
    actions_.PasteAction->setEnabled(clipboardText_ ||
                                     (clipboardPicture_ && TargetEdit() == body_));
}

bool TClipboardCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        // NewsMemoMouseUp: the editor under the mouse, after it has handled the release.
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* editor = others_.contains(widget) ? widget : widget->parentWidget();
        QMetaObject::invokeMethod(
            this, [this, editor] { UpdateCutCopy(editor); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
