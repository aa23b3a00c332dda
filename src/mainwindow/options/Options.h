#pragma once

#include <QObject>

#include "mainwindow/MainLayout.h"

class TDayLists;
class TDiary;
class TInitParam;
class TReminders;
class TSetupForm;

// The options exchange: fills the options dialog from the window's controls and the settings
// record, and after OK puts every value back into both. Cancel leaves both as they were.
class TOptions : public QObject {
    Q_OBJECT
public:
    TOptions(const TOptionsWidgets& ui, TDiary& diary, TInitParam& params, TDayLists& dayLists,
             TReminders& reminders, QObject* parent = nullptr);

    // Runs the dialog modally and takes its values after OK.
    void SetupActionExecute();
    // Copies the window's values into the dialog.
    void LoadDialog(TSetupForm& form) const;
    // Copies the dialog's values into the window and the settings record and refreshes what
    // shows them.
    void StoreDialog(const TSetupForm& form);
    // Gives the date header and the two memos the record's fonts.
    void ApplyFonts();

private:
    TOptionsWidgets ui_;
    TDiary& diary_;
    TInitParam& params_;
    TDayLists& dayLists_;
    TReminders& reminders_;
};
