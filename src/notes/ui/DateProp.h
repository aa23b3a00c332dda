#pragma once

#include <QDialog>

#include "notes/NoteForm.h"
#include "notes/NoteRec.h"

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TSelectGrid;
class TValueSpin;

// The editor of one note of either list: a birthday or a reminder with its repeat rule. The
// caller sets the caption, runs ExecuteNote and, after OK, copies Note() into its list.
class TTodoMemo : public QDialog {
    Q_OBJECT
public:
    explicit TTodoMemo(QWidget* parent = nullptr);

    // Loads note (nullptr: a new note for today) and shows the dialog modally; the result is
    // QDialog::Accepted after OK.
    int ExecuteNote(const TNoteRec* note, bool isReminder);
    // The loading half of ExecuteNote, without showing the dialog.
    void LoadNote(const TNoteRec* note, bool isReminder);
    // The working record: after OK, the note the user confirmed.
    const TNoteRec& Note() const { return note_; }

    void MemDateChange();
    void FinalYearClick();
    void PeriodCheckClick();
    void RepeatBtnClick();
    void YearlyClick();
    void RepMonthClick();
    void RepDateClick();
    void OKBtnClick();

    QLineEdit* Content;
    QDateEdit* MemDate;
    QCheckBox* FinalYear;
    QDateEdit* FinalDate;
    QCheckBox* ListCheck;
    QRadioButton* EveryYearItem;  // "毎年": a reminder without a repeat rule
    QRadioButton* OnceItem;       // "一度だけ"
    QPushButton* RepeatBtn;
    QGroupBox* GroupBox1;
    QGroupBox* RepMonth;
    QRadioButton* EveryMonth;   // "毎月"
    QRadioButton* ChosenMonth;  // "指定月"
    TSelectGrid* MonthSelect;
    QGroupBox* RepDate;
    QRadioButton* DayItem;       // the day of MemDate
    QRadioButton* MonthEndItem;  // "月末"
    QRadioButton* WeekItem;      // "週＋曜日"
    QCheckBox* PeriodCheck;
    TValueSpin* DateUntil;
    TSelectGrid* WeekSelect;
    TSelectGrid* DaySelect;
    QWidget* ButtonPanel;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    void BuildGroup();
    void ShowForm(const TNoteForm& form);
    TNoteForm ReadForm() const;

    TNoteRec original_;
    TNoteForm loaded_;
    TNoteRec note_;
    bool isReminder_ = false;
};
