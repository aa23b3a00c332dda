#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "mainwindow/sync/ConflictDialog.h"
#include "sync/PendingConflicts.h"

class QFileSystemWatcher;
class QTimer;
class TForm1;
class TNoteList;
struct TDataInfo;
struct TDiskMerge;
struct TNoteDiskMerge;

// Keeps the window in step with a diary folder that a sync service changes while Velmora runs.
// The folder and its files are watched, and checked every few seconds besides, since services
// replace files by renaming in ways a watch can miss. A year or note file another program
// changed is merged into the store or list at once (TakeDiskChanges), after the page being
// written is put into the store so the merge meets it; a conflict copy that appears is taken in
// as at start and moved aside. The grid, the day lists, the reminder panel and, when the user is
// not editing it, the page follow. Days and notes changed differently on both sides are kept in
// the state folder (PendingConflicts) and shown in a dialog until the user has chosen.
class TDiaryWatch : public QObject {
    Q_OBJECT
public:
    // The diary's files lie beside executablePath; stateDir is this computer's state folder for
    // them (StateFolder).
    // A child of form: it goes after the form's store and note lists, whose handlers it leaves.
    TDiaryWatch(TForm1& form, const QString& executablePath, std::string stateDir);

    // Looks for changes made by other programs and takes them in.
    void Check();
    // Opens the dialog of the conflicts still undecided; nothing when there are none.
    void ShowConflicts();
    // Settles the undecided conflict at index.
    void Choose(int index, TConflictChoice choice);

    const std::vector<TPendingConflict>& Pending() const { return pending_; }
    TConflictDialog* Dialog() const { return dialog_; }

private:
    void WatchFiles();
    void YearMerged(const TDiskMerge& merge);
    void NotesMerged(const TNoteList& list, const TNoteDiskMerge& merge);
    void Keep(const std::vector<TPendingConflict>& added);
    void Follow();
    std::vector<TConflictRow> Rows() const;
    void ChooseDay(const TPendingConflict& conflict, TConflictChoice choice);
    void ChooseNote(const TPendingConflict& conflict, TConflictChoice choice);
    QString Divider(const TPendingConflict& conflict) const;

    TForm1& form_;
    std::string dir_;
    std::string baseName_;
    std::string stateDir_;
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
    QTimer* poll_;
    std::vector<TPendingConflict> pending_;
    QPointer<TConflictDialog> dialog_;
    bool checking_ = false;
    bool followQueued_ = false;
    bool notesMerged_ = false;
    // The copies that could not be taken in, as last told.
    QString toldProblems_;
};
