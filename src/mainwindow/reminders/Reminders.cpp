#include "mainwindow/reminders/Reminders.h"

#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "mainwindow/PageState.h"
#include "mainwindow/UserMessage.h"
#include "notes/NoteList.h"
#include "notes/NoteText.h"
#include "notes/ui/DateProp.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "widgets/ControlColors.h"
#include "widgets/Named.h"
#include "widgets/ReportList.h"

namespace {

constexpr int kNoteRole = Qt::UserRole;
// The height of the line that says the month has nothing, in lines of text.
constexpr int kEmptyLineHeights = 3;

TNoteRec* NoteOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<TNoteRec*>(item->data(0, kNoteRole).value<quintptr>()) : nullptr;
}

QTreeWidgetItem* SelectedRow(const QTreeWidget* view) {
    const QList<QTreeWidgetItem*> rows = view->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

QWidget* InPage(QWidget* content, const char* name) {
    auto* page = Named(new QWidget, name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return page;
}

}  // namespace

TReminders::TReminders(const TDiary& diary, TNoteList& todoNotes, TNoteList& memoryNotes,
                       TPageState& pageState, const TInitParam& params, QObject* parent)
    : QObject(parent),
      diary_(diary),
      todoNotes_(todoNotes),
      memoryNotes_(memoryNotes),
      pageState_(pageState),
      params_(params) {
    BuildView();
    TodoProp = CommandMenu("TodoProp", M_Add, M_Edit, M_Delete, TodoKind);
    MemProp = CommandMenu("MemProp", M_MemAdd, M_MemEdit, M_MemDel, MemoryKind);
    connect(ui_.Reminder, &QTabWidget::currentChanged, this, &TReminders::ReminderChange);
    connect(ui_.TodoList, &QTreeWidget::itemChanged, this, &TReminders::TodoListChange);
    connect(ui_.TodoList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        TodoPropPopup();
        TodoProp->popup(ui_.TodoList->viewport()->mapToGlobal(pos));
    });
    connect(ui_.MemList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        MemPropPopup();
        MemProp->popup(ui_.MemList->viewport()->mapToGlobal(pos));
    });
    connect(ui_.TodoList, &QTreeWidget::itemDoubleClicked, this,
            [this] { M_DeleteClick(EditCommand); });
    connect(ui_.MemList, &QTreeWidget::itemDoubleClicked, this,
            [this] { MemProperty(EditCommand); });
}

TReminders::~TReminders() {
    // Until the window places it, the view is the panel's own.
    if (ui_.Reminder && !ui_.Reminder->parent())
        delete ui_.Reminder;
}

void TReminders::BuildView() {
    ui_.Reminder = Named(new QTabWidget, "Reminder");
    ui_.Reminder->setDocumentMode(true);
    ui_.Reminder->setFont(DesignFont(kGothicFace, 12));
    ui_.ListBox = Named(new QListWidget, "ListBox");
    ui_.ListBox->setContextMenuPolicy(Qt::CustomContextMenu);
    ui_.ListBox->setMinimumHeight(24);
    ui_.TodoList = ReportList("TodoList");
    ui_.TodoList->setHeaderLabels({u"日付"_qs, u"件名"_qs});
    ui_.TodoList->setColumnWidth(0, 110);
    ui_.MemList = ReportList("MemList");
    ui_.MemList->setFont(DesignFont(kGothicFace, 13));
    ui_.MemList->setHeaderLabels({u"誕生日"_qs, u"名前"_qs});
    ui_.MemList->setColumnWidth(0, 105);
    for (QTreeWidget* list : {ui_.TodoList, ui_.MemList}) {
        list->setMinimumHeight(24);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    ui_.TabMonth = InPage(ui_.ListBox, "TabMonth");
    ui_.RemSheet = InPage(ui_.TodoList, "RemSheet");
    ui_.TabMemory = InPage(ui_.MemList, "TabMemory");
    ui_.Reminder->addTab(ui_.TabMonth, u"今月の一覧"_qs);
    ui_.Reminder->addTab(ui_.RemSheet, u"備忘録"_qs);
    ui_.Reminder->addTab(ui_.TabMemory, u"誕生日"_qs);
    connect(ui_.ListBox, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        Q_EMIT MonthMenuRequested(ui_.ListBox->mapToGlobal(pos));
    });
}

QWidget* TReminders::View() const {
    return ui_.Reminder;
}

void TReminders::SetColor(TColor color) {
    SetControlColor(ui_.ListBox, color);
}

QMenu* TReminders::CommandMenu(const char* name, QAction*& add, QAction*& edit, QAction*& del,
                               TListKind kind) {
    auto* menu = new QMenu(ui_.Reminder);
    menu->setObjectName(QLatin1String(name));
    add = menu->addAction(u"新規"_qs);
    edit = menu->addAction(u"修正"_qs);
    del = menu->addAction(u"削除"_qs);
    for (QAction* item : {add, edit, del}) {
        const int tag = item == add ? AddCommand : item == edit ? EditCommand : DeleteCommand;
        item->setData(tag);
        connect(item, &QAction::triggered, this, [this, kind, tag] { Command(kind, tag); });
    }
    return menu;
}

QTreeWidget* TReminders::View(TListKind kind) const {
    return kind == TodoKind ? ui_.TodoList : ui_.MemList;
}

TNoteList& TReminders::List(TListKind kind) const {
    return kind == TodoKind ? todoNotes_ : memoryNotes_;
}

void TReminders::FillTodoList() {
    Invalidate(TodoKind);
    FillShown();
}

void TReminders::FillMemoryList() {
    Invalidate(MemoryKind);
    FillShown();
}

void TReminders::FillLists() {
    Invalidate(MemoryKind);
    Invalidate(TodoKind);
    FillShown();
}

void TReminders::Invalidate(TListKind kind) {
    stale_[kind] = true;
    View(kind)->clear();
}

QTreeWidget* TReminders::FilledView(TListKind kind) {
    QTreeWidget* view = View(kind);
    if (std::exchange(stale_[kind], false)) {
        const auto updating = pageState_.UpdatingScope();
        FillList(view, List(kind), kind == TodoKind);
    }
    return view;
}

void TReminders::FillShown() {
    QWidget* page = ui_.Reminder->currentWidget();
    // The summary is built each time it shows: it counts the days from today.
    if (page == ui_.TabMonth)
        FillMonthList();
    else
        FilledView(page == ui_.RemSheet ? TodoKind : MemoryKind);
}

void TReminders::FillList(QTreeWidget* view, TNoteList& list, bool withChecks) {
    view->setUpdatesEnabled(false);
    view->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        TNoteRec* note = list.Items(i);
        auto* row = new QTreeWidgetItem;
        row->setData(0, kNoteRole, QVariant::fromValue(reinterpret_cast<quintptr>(note)));
        // The row is not in the view yet: the list it shows is told.
        Describe(row, withChecks);
        if (withChecks)
            row->setCheckState(0, note->Kind == NoteDone ? Qt::Checked : Qt::Unchecked);
        rows.append(row);
    }
    view->addTopLevelItems(rows);
    view->setUpdatesEnabled(true);
}

void TReminders::DescribeNote(QTreeWidgetItem* item) const {
    Describe(item, item && item->treeWidget() == ui_.TodoList);
}

void TReminders::Describe(QTreeWidgetItem* item, bool isReminder) const {
    const TNoteRec* note = NoteOf(item);
    if (!note)
        return;
    item->setText(0, FromCp932(DescribeNoteDate(*note, isReminder)));
    item->setText(1, FromCp932(DescribeNoteTitle(*note)));
}

void TReminders::SettingsChanged() {
    FillMonthList();
}

void TReminders::FillMonthList() {
    // The tab names the month also while another tab is in view.
    ui_.Reminder->setTabText(ui_.Reminder->indexOf(ui_.TabMonth),
                             QStringLiteral("%1月の一覧").arg(diary_.Month(), 2));
    if (ui_.Reminder->currentWidget() == ui_.TabMonth)
        BuildMonthList();
}

void TReminders::BuildMonthList() {
    const TAgeOptions ages{params_.CountedAgeBeside,
                           params_.CelebrateCounted ? TAgeCount::Counted : TAgeCount::Full};
    const std::vector<std::string> lines = MonthSummary(
        todoNotes_, memoryNotes_, Today(), diary_.FirstOfMonth(), params_.NoDeathDays, ages);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        texts.append(FromCp932(line));
    ui_.ListBox->setUpdatesEnabled(false);
    ui_.ListBox->clear();
    ui_.ListBox->addItems(texts);
    if (texts.isEmpty()) {
        // One line in the box's own colours, centred with room around it; it cannot be selected.
        auto* none = new QListWidgetItem(u"予定はありません"_qs, ui_.ListBox);
        none->setFlags(Qt::ItemIsEnabled);
        none->setTextAlignment(Qt::AlignCenter);
        none->setSizeHint(QSize(0, kEmptyLineHeights * ui_.ListBox->fontMetrics().height()));
    }
    ui_.ListBox->setUpdatesEnabled(true);
}

void TReminders::ReminderChange(int index) {
    if (index >= 0)
        FillShown();
}

void TReminders::TodoListChange(QTreeWidgetItem* item, int column) {
    TNoteRec* note = NoteOf(item);
    if (pageState_.Updating() || !note || column != 0)
        return;
    const bool ticked = item->checkState(0) == Qt::Checked;
    // Text changes of the row come here too; only a changed mark changes the note.
    if (ticked == (note->Kind == NoteDone))
        return;
    const auto updating = pageState_.UpdatingScope();
    if (ticked) {
        note->Kind = NoteDone;
        note->EndDate = Today();
        item->setText(1, FromCp932(TickedTitle(note->Title, note->EndDate)));
    } else {
        note->Kind = NoteOpen;
        note->EndDate = 0;
        item->setText(1, FromCp932(note->Title));
    }
    // A tick is written at once, as every other change of a note is.
    todoNotes_.SetModified(true);
    Q_EMIT NotesChanged();
}

void TReminders::TodoPropPopup() {
    M_Edit->setEnabled(SelectedRow(FilledView(TodoKind)) != nullptr);
    M_Delete->setEnabled(M_Edit->isEnabled());
    M_Add->setEnabled(true);
}

void TReminders::MemPropPopup() {
    M_MemEdit->setEnabled(SelectedRow(FilledView(MemoryKind)) != nullptr);
    M_MemDel->setEnabled(M_MemEdit->isEnabled());
    M_MemAdd->setEnabled(true);
}

void TReminders::M_DeleteClick(int tag) {
    Command(TodoKind, tag);
}

void TReminders::MemProperty(int tag) {
    Command(MemoryKind, tag);
}

void TReminders::Command(TListKind kind, int tag) {
    QTreeWidget* view = FilledView(kind);
    TNoteList& list = List(kind);
    QTreeWidgetItem* row = SelectedRow(view);
    TNoteRec* note = NoteOf(row);
    switch (tag) {
        case AddCommand:
            if (EditNote(kind, false, list, nullptr)) {
                list.SortByRule();
                Q_EMIT NotesChanged();
                kind == TodoKind ? FillTodoList() : FillMemoryList();
            }
            break;
        case EditCommand:
            if (note && EditNote(kind, true, list, note)) {
                Q_EMIT NotesChanged();
                const auto updating = pageState_.UpdatingScope();
                DescribeNote(row);
                if (kind == TodoKind)
                    row->setCheckState(0, Qt::Unchecked);
            }
            break;
        case DeleteCommand: {
            if (!note)
                break;
            const QString question =
                u"\""_qs + FromCp932(note->Title) + u"\"を削除します\r\nよろしいですか？"_qs;
            if (!AskUserYesNo(ui_.Reminder->window(), question))
                break;
            list.DeleteNote(note);
            delete row;
            Q_EMIT NotesChanged();
            break;
        }
        default:
            break;
    }
}

bool TReminders::EditNote(TListKind kind, bool isEdit, TNoteList& list, TNoteRec* note) {
    TTodoMemo dialog(ui_.Reminder->window());
    dialog.setWindowTitle((kind == MemoryKind ? u"誕生日 - "_qs : u"備忘録 - "_qs) +
                          (isEdit ? u"修正"_qs : u"新規登録"_qs));
    if (dialog.ExecuteNote(note, kind == TodoKind) != QDialog::Accepted)
        return false;
    if (!note)
        note = list.NewNote();
    *note = dialog.Note();
    CalcNextDate(*note, 0);
    list.SetModified(true);
    return true;
}
