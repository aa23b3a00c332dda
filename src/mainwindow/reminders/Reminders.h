#pragma once

#include <QObject>

#include "mainwindow/MainLayout.h"

class QAction;
class QMenu;
class QTreeWidgetItem;
class TDiary;
class TInitParam;
class TNoteList;
struct TNoteRec;
class TPageState;

// The reminder panel: the month summary, the reminders with their done marks and the
// anniversaries, with the commands that add, edit and delete notes. Adding, editing and
// deleting write the note file at once; a tick only marks the reminder list modified.
class TReminders : public QObject {
    Q_OBJECT
public:
    enum TListKind { MemoryKind = 0, TodoKind = 1 };
    // Tags of the popup items.
    enum TCommand { AddCommand = 0, EditCommand = 1, DeleteCommand = 2 };

    TReminders(const TReminderWidgets& ui, const TDiary& diary, TNoteList& todoNotes,
               TNoteList& memoryNotes, TPageState& pageState, const TInitParam& params,
               QObject* parent = nullptr);

    void FillTodoList();
    void FillMemoryList();
    // The summary of the grid's shown month: open reminders around today, then anniversaries.
    void FillMonthList();
    // The options changed what the month summary shows: it is rebuilt when it is shown.
    void SettingsChanged();
    void ReminderChange(int index);
    void TodoListChange(QTreeWidgetItem* item, int column);
    void TodoPropPopup();
    void MemPropPopup();
    void M_DeleteClick(int tag);
    void MemProperty(int tag);
    void DescribeNote(QTreeWidgetItem* item) const;
    // Runs the note editor on note (nullptr: a new note of list); true when the user confirmed.
    bool EditNote(TListKind kind, bool isEdit, TNoteList& list, TNoteRec* note);

    QMenu* TodoProp;
    QAction* M_Add;
    QAction* M_Edit;
    QAction* M_Delete;
    QMenu* MemProp;
    QAction* M_MemAdd;
    QAction* M_MemEdit;
    QAction* M_MemDel;

Q_SIGNALS:
    // A note list changed or was written: the window's unwritten state may have changed.
    void NotesChanged();

private:
    QMenu* CommandMenu(const char* name, QAction*& add, QAction*& edit, QAction*& del,
                       TListKind kind);
    void Command(TListKind kind, int tag);
    // withChecks: the reminders, with their done marks.
    void FillList(QTreeWidget* view, TNoteList& list, bool withChecks);
    void Describe(QTreeWidgetItem* item, bool isReminder) const;
    void Save(TNoteList& list);
    QTreeWidget* View(TListKind kind) const;
    TNoteList& List(TListKind kind) const;

    TReminderWidgets ui_;
    const TDiary& diary_;
    TNoteList& todoNotes_;
    TNoteList& memoryNotes_;
    TPageState& pageState_;
    const TInitParam& params_;
};
