#pragma once

#include <QObject>
#include <QPointer>

#include "bridge/Colors.h"

class QAction;
class QListWidget;
class QMenu;
class QPoint;
class QTabWidget;
class QTreeWidget;
class QWidget;
class QTreeWidgetItem;
class TDiary;
class TInitParam;
class TNoteList;
struct TNoteRec;
class TPageState;

// The reminder panel: the month summary, the reminders with their done marks and the
// anniversaries, with the commands that add, edit and delete notes. Every change of a note,
// a tick too, marks its list modified and asks the window to write it with NotesChanged.
class TReminders : public QObject {
    Q_OBJECT
public:
    enum TListKind { MemoryKind = 0, TodoKind = 1 };
    // Tags of the popup items.
    enum TCommand { AddCommand = 0, EditCommand = 1, DeleteCommand = 2 };

    TReminders(const TDiary& diary, TNoteList& todoNotes, TNoteList& memoryNotes,
               TPageState& pageState, const TInitParam& params, QObject* parent = nullptr);
    ~TReminders() override;

    // The page control with the three lists; the window places it.
    QWidget* View() const;
    // The month summary's background.
    void SetColor(TColor color);

    // The lists from the note lists as they are: the list of the tab in view at once, the
    // others when their tab is next chosen.
    void FillTodoList();
    void FillMemoryList();
    // The reminders, the anniversaries and the month summary.
    void FillLists();
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
    // The user changed a note list: the window writes it at once.
    void NotesChanged();
    // The user asked for the month menu over the month summary, at global.
    void MonthMenuRequested(const QPoint& global);

private:
    void BuildView();
    QMenu* CommandMenu(const char* name, QAction*& add, QAction*& edit, QAction*& del,
                       TListKind kind);
    void Command(TListKind kind, int tag);
    // withChecks: the reminders, with their done marks.
    void FillList(QTreeWidget* view, TNoteList& list, bool withChecks);
    // Fills the list of the tab in view when it is out of date.
    void FillShown();
    void BuildMonthList();
    // A list out of date loses its rows at once: they point at notes that may be gone.
    void Invalidate(TListKind kind);
    // The list with its rows up to date, for reading them.
    QTreeWidget* FilledView(TListKind kind);
    void Describe(QTreeWidgetItem* item, bool isReminder) const;
    QTreeWidget* View(TListKind kind) const;
    TNoteList& List(TListKind kind) const;

    struct TWidgets {
        QPointer<QTabWidget> Reminder;
        QWidget* TabMonth;
        QListWidget* ListBox;
        QWidget* RemSheet;
        QTreeWidget* TodoList;
        QWidget* TabMemory;
        QTreeWidget* MemList;
    };

    TWidgets ui_;
    const TDiary& diary_;
    TNoteList& todoNotes_;
    TNoteList& memoryNotes_;
    TPageState& pageState_;
    const TInitParam& params_;
    // The lists whose notes changed since they were filled, by TListKind.
    bool stale_[2] = {true, true};
};
