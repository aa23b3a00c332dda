#pragma once

#include <QColor>
#include <QObject>
#include <QTextCharFormat>
#include <functional>
#include <optional>

#include "mainwindow/formatting/FormattingView.h"

class QTextEdit;
class QToolBar;
class QWidget;
class TClipboardCommands;
class TPageState;
struct TMainActions;

// Formatting of the diary body: the tool bar, the popup's style commands, the face list, the
// size spin and the first-line indent ruler. The controls always show the format that text typed
// at the caret gets (or the selection's); a command changes the selection, or at the caret what
// is typed next, and reports Formatted so that the page is marked changed. While the page state
// is Updating every command does nothing. After a face or size is chosen, typing goes on in the
// body.
class TFormatting : public QObject {
    Q_OBJECT
public:
    // body is the page's rich text editor the commands act on.
    TFormatting(QTextEdit* body, const TMainActions& actions, TPageState& state,
                TClipboardCommands& clipboard, QObject* parent = nullptr);

    // The controls, which the window places.
    const TFormattingView& View() const { return view_; }

    // The attributes the commands act on: the selection's, else those text typed at the caret
    // gets.
    QTextCharFormat CurrentAttributes() const;
    // Shows the formatting at the caret in every control; writes nothing into the text.
    void SelectionChange();
    // Fills the face list with the installed families, sorted; only the first call does.
    void ListFonts();

    void BoldButtonClick(bool checked);
    void ItalicButtonClick(bool checked);
    void UnderlineButtonClick(bool checked);
    void ColorActionExecute();
    // tag: 0 left, 1 right, 2 centre.
    void LineAlignClick(int tag);
    void FontSizeChange();
    void FontNameChange();
    void TrackBar1Change(int position);
    void Panel1Resize();

    // The ruler counts 4 units per 3 points, whole numbers truncated toward zero.
    static int IndentToPosition(int points) { return 4 * points / 3; }
    static int PositionToIndent(int position) { return 3 * position / 4; }

    // Asks the user for a colour, starting at the given one; empty when cancelled.
    std::function<std::optional<QColor>(const QColor& initial)> ChooseColor;

Q_SIGNALS:
    // A command changed the body or the format typed next.
    void Formatted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetCurrentAttributes(const QTextCharFormat& change);
    void SetStyle(int property, bool on);
    int BodyPointSize() const;
    // The installed face that draws text of this format: a face it names that is not installed
    // is drawn through a substitute, and one it does not name is the body's.
    QString ShownFace(const QTextCharFormat& format) const;
    void ReturnToBody();

    TFormattingView view_;
    QTextEdit* body_;
    const TMainActions& actions_;
    TPageState& state_;
    TClipboardCommands& clipboard_;
    bool fontsListed_ = false;
};
