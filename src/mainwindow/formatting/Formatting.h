#pragma once

#include <QColor>
#include <QObject>
#include <QTextCharFormat>
#include <functional>
#include <optional>

#include "mainwindow/MainLayout.h"

class TClipboardCommands;
class TPageState;
struct TMainActions;

// Formatting of the diary body: the tool bar, the popup's style commands, the face list, the
// size spin and the first-line indent ruler. The controls always show the formatting at the
// caret; a command changes the selection, or at the caret what is typed next, and reports
// Formatted so that the page is marked changed. While the page state is Updating every command
// does nothing.
class TFormatting : public QObject {
    Q_OBJECT
public:
    TFormatting(const TFormattingWidgets& ui, const TMainActions& actions, TPageState& state,
                TClipboardCommands& clipboard, QObject* parent = nullptr);

    // The attributes the commands act on: the selection's, the editor's defaults with the caret
    // at the very start or end, else those at the caret.
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
    bool AtDefault() const;
    void SetCurrentAttributes(const QTextCharFormat& change);
    void SetStyle(int property, bool on);
    int BodyPointSize() const;

    TFormattingWidgets ui_;
    const TMainActions& actions_;
    TPageState& state_;
    TClipboardCommands& clipboard_;
    // The editor's default attributes: what the controls show and change at the start and end.
    QTextCharFormat defaults_;
    bool fontsListed_ = false;
};
