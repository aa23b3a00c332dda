#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <vector>

class QTimer;
class TDayPage;
class TNoteList;
class TPageState;
class TScrapList;

// When what the user wrote goes to disk. A page being written goes 5 s after the last edit, and
// at the latest 30 s after the first edit not yet written, so that steady typing is written
// too; an action that moves or changes the page is followed by a write of all it left. A
// failure of these writes that run by themselves is told once until everything is written.
class TWriteSchedule : public QObject {
    Q_OBJECT
public:
    TWriteSchedule(TDayPage& page, TScrapList& store, std::initializer_list<TNoteList*> notes,
                   TPageState& state, QObject* parent = nullptr);

    // The user edited the page.
    void Edited();
    // The explicit save: the page into the store, the year file and changed note lists to disk.
    void Save();
    // Puts the page being written into the store without touching what undo returns to, and
    // writes the year file and the note lists.
    void WriteSoon();
    // Runs an action that moves or changes the page, then writes what it left unwritten.
    void WriteAfter(const std::function<void()>& action);
    // Writes the year file and changed note lists; a failed note list is reported.
    void WriteAll();
    // Writes the bases the store and the note lists held back while the window was built, and
    // lets them write their bases at once from then on.
    void ReleaseBases();
    // Tells the page state whether anything is unwritten; stops the timers once the page is
    // written.
    void UpdateSaveState();

    // True while anything the user wrote is not yet in the files.
    bool Unwritten() const;
    // True while the store or a note list holds what is not on disk.
    bool Unsaved() const;
    // Whether a message should be shown: a message repeated by the writes that run by
    // themselves is not, until everything is written.
    bool Tells(const QString& message);

    // Starts after an edit and runs WriteSoon when it fires.
    const QTimer& Timer() const { return *afterEdit_; }
    const QTimer& Deadline() const { return *atLatest_; }

private:
    TDayPage& page_;
    TScrapList& store_;
    std::vector<TNoteList*> notes_;
    TPageState& state_;
    QTimer* afterEdit_;
    QTimer* atLatest_;
    bool quiet_ = false;
    QStringList told_;
};
