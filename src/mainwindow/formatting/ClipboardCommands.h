#pragma once

#include <QList>
#include <QObject>

class QTextEdit;
class QWidget;
struct TMainActions;

// Cut, copy and paste on whichever page editor has the focus. Cut and copy are offered while
// that editor holds a selection (the body tells at every caret move, the other editors at the
// release of the mouse and after each of these commands); paste is offered exactly while the
// system clipboard holds text, whoever put it there, or a picture while the body is the target.
class TClipboardCommands : public QObject {
    Q_OBJECT
public:
    // body is the page's rich text editor; others are its plain editors (line edits and plain
    // text edits).
    TClipboardCommands(QTextEdit* body, const QList<QWidget*>& others, const TMainActions& actions,
                       QObject* parent = nullptr);

    // The one of the other editors that has the focus; else the body.
    QWidget* TargetEdit() const;
    void CutActionExecute();
    void CopyActionExecute();
    void PasteActionExecute();
    // Offers cut and copy exactly when editor has a selection.
    void UpdateCutCopy(QWidget* editor);
    void ClipboardChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdatePaste();

    QTextEdit* body_;
    QList<QWidget*> others_;
    const TMainActions& actions_;
    // What the clipboard held at its last change: asked once, not at every focus change.
    bool clipboardText_ = false;
    bool clipboardPicture_ = false;
};
