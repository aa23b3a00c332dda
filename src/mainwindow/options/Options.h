#pragma once

#include <QObject>
#include <array>

#include "bridge/Colors.h"

class QWidget;
class TDiary;
class TInitParam;
class TSetupForm;

// The options exchange: fills the options dialog from the window's colours, the grid and the
// settings record, and after OK puts every value back and says so with Changed. Cancel leaves
// all as it was.
class TOptions : public QObject {
    Q_OBJECT
public:
    // window is the dialog's parent; colors are the window's seven control colours, in the order
    // of "COLORINFO".
    TOptions(QWidget* window, TDiary& diary, TInitParam& params, QObject* parent = nullptr);

    void SetColors(const std::array<TColor, 7>& colors) { colors_ = colors; }
    // Runs the dialog modally and takes its values after OK.
    void SetupActionExecute();
    // Copies the current values into the dialog.
    void LoadDialog(TSetupForm& form) const;
    // Copies the dialog's values into the grid and the settings record, then emits Changed.
    void StoreDialog(const TSetupForm& form);

Q_SIGNALS:
    // The user confirmed new options: the settings record holds the new fonts, titles and
    // list choices; colors are the window's new control colours.
    void Changed(const TInitParam& params, const std::array<TColor, 7>& colors);

private:
    QWidget* window_;
    TDiary& diary_;
    TInitParam& params_;
    std::array<TColor, 7> colors_{};
};
