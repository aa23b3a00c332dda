#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// How the user settles a day or note changed differently on two computers.
enum class TConflictChoice {
    Ours,    // this computer's version stays; the other's is dropped
    Theirs,  // the other computer's version replaces this one's
    Both,    // both stay: a day gets the other's text under a divider, a note is kept twice
};

// One conflict as the dialog shows it.
struct TConflictRow {
    QString Caption;        // "2026/12/08 (2026.dat)", "「歯医者」 (Velmora.tdo)"
    QString Ours;           // this computer's version as plain text
    QString Theirs;         // the other's version as plain text
    QString TheirsCaption;  // the other's file name and time
};

// Lists the conflicts still undecided, shows the two versions of the chosen one side by side,
// and asks which to keep. The choice goes out as Chosen; the owner applies it and gives the
// dialog the rows left. Closing it leaves the rest undecided, and kept.
class TConflictDialog : public QDialog {
    Q_OBJECT
public:
    explicit TConflictDialog(QWidget* parent);

    void SetRows(const std::vector<TConflictRow>& rows);
    int Current() const;

Q_SIGNALS:
    void Chosen(int row, TConflictChoice choice);

private:
    void ShowRow(int row);

    std::vector<TConflictRow> rows_;
    QListWidget* list_;
    QPlainTextEdit* ours_;
    QPlainTextEdit* theirs_;
    QLabel* theirsCaption_;
    std::vector<QPushButton*> choices_;
};
