#include "mainwindow/daylists/DayLists.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "bridge/TextCodec.h"
#include "calendar/Almanac.h"
#include "controls/Diary.h"
#include "mainwindow/StoreEvents.h"
#include "mainwindow/pastyears/PastYears.h"
#include "settings/IniParam.h"
#include "storage/DayList.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "widgets/ControlColors.h"
#include "widgets/Named.h"
#include "widgets/ReportList.h"
#include "widgets/WeatherIcons.h"

namespace {

// Each row keeps the address of its record in the store.
constexpr int kRecordRole = Qt::UserRole;

const TDataInfo* RecordOf(const QTreeWidgetItem* row) {
    return row ? reinterpret_cast<const TDataInfo*>(row->data(0, kRecordRole).value<quintptr>())
               : nullptr;
}

constexpr int kDateWidth = 75;
// Room around a date for the icon's margin and the cell's own.
constexpr int kDatePadding = 24;

}  // namespace

TDayLists::TDayLists(TDiary& diary, const TScrapList& store, TStoreEvents& events,
                     TInitParam& params, QObject* parent)
    : QObject(parent), diary_(diary), store_(store), params_(params) {
    ui_.DiaryList = Named(new QTabBar, "DiaryList");
    ui_.DiaryList->setShape(QTabBar::RoundedNorth);
    ui_.DiaryList->setDrawBase(false);
    ui_.DiaryList->setExpanding(false);
    for (const QString& tab : {u"日記"_qs, u"私的ﾒﾓ"_qs, u"出来事"_qs, u"ひと言"_qs})
        ui_.DiaryList->addTab(tab);
    ui_.PastYearsButton = Named(new QToolButton, "PastYearsButton");
    ui_.PastYearsButton->setText(u"過去の今日"_qs);
    ui_.PastYearsButton->setToolTip(u"過去の同じ日の日記を一覧にします"_qs);
    ui_.PastYearsButton->setCheckable(true);
    ui_.PastYearsButton->setAutoRaise(true);
    pastYears_ = new TPastYears(diary, store, events, params, this);
    QTreeWidget* list = ReportList("ListView1");
    ui_.ListView1 = list;
    list->setHeaderLabels({u"日付"_qs, u"内容"_qs});
    list->setColumnWidth(0, kDateWidth);
    list->setMinimumHeight(24);
    ui_.DiaryListPanel = Named(new QWidget, "DiaryListPanel");
    auto* layout = new QVBoxLayout(ui_.DiaryListPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ui_.Stack = new QStackedWidget;
    ui_.Stack->addWidget(list);
    ui_.Stack->addWidget(pastYears_->View());
    layout->addWidget(ui_.DiaryList);
    layout->addWidget(ui_.Stack, 1);

    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(true);
    list->setContextMenuPolicy(Qt::CustomContextMenu);

    listPopup_ = new QMenu(list);
    listPopup_->setObjectName(QStringLiteral("ListPopup"));
    auto* group = new QActionGroup(listPopup_);
    nYear_ = listPopup_->addAction(u"一年表示"_qs);
    nThismonth_ = listPopup_->addAction(u"当月分のみ"_qs);
    nYear_->setObjectName(QStringLiteral("N_Year"));
    nThismonth_->setObjectName(QStringLiteral("N_Thismonth"));
    for (QAction* item : {nYear_, nThismonth_}) {
        item->setCheckable(true);
        group->addAction(item);
    }
    connect(nYear_, &QAction::triggered, this, [this] { N_ThismonthClick(0); });
    connect(nThismonth_, &QAction::triggered, this, [this] { N_ThismonthClick(1); });
    connect(listPopup_, &QMenu::aboutToShow, this, &TDayLists::ListPopupPopup);
    connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        listPopup_->popup(ui_.ListView1->viewport()->mapToGlobal(pos));
    });

    connect(list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = ui_.ListView1->selectedItems();
        if (!selected.isEmpty())
            ListView1SelectItem(selected.first(), true);
    });
    connect(list, &QTreeWidget::itemDoubleClicked, this, &TDayLists::ListView1DblClick);
    // Choosing a tab, the current one too, brings the day lists back from the past years.
    connect(ui_.DiaryList, &QTabBar::currentChanged, this, [this] {
        ui_.PastYearsButton->setChecked(false);
        DiaryListChange();
    });
    connect(ui_.DiaryList, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (tab >= 0 && tab == ui_.DiaryList->currentIndex() && PastYearsShown()) {
            ui_.PastYearsButton->setChecked(false);
            DiaryListChange();
        }
    });
    connect(ui_.PastYearsButton, &QToolButton::clicked, this, &TDayLists::DiaryListChange);

    connect(&events, &TStoreEvents::RecordChanged, this, &TDayLists::DayRecordChanged);
    connect(&events, &TStoreEvents::RecordDeleted, this, &TDayLists::DayRecordDeleted);
    connect(&events, &TStoreEvents::ListChanged, this, &TDayLists::FillDayList);
    connect(&events, &TStoreEvents::DateChanged, this, &TDayLists::SelectCurrentRow);
}

TDayLists::~TDayLists() {
    // Until the window places them, the view and the button are the lists' own.
    if (!ui_.PastYearsButton->parent())
        delete ui_.PastYearsButton;
    if (ui_.DiaryListPanel && !ui_.DiaryListPanel->parent())
        delete ui_.DiaryListPanel;
}

int TDayLists::Tab() const {
    return PastYearsShown() ? DayListTabCount : ui_.DiaryList->currentIndex();
}

void TDayLists::SelectTab(int tab) {
    const QSignalBlocker quiet(ui_.DiaryList);
    ui_.PastYearsButton->setChecked(tab == DayListTabCount);
    if (tab != DayListTabCount)
        ui_.DiaryList->setCurrentIndex(tab >= 0 && tab < ui_.DiaryList->count() ? tab : 0);
}

void TDayLists::SetColor(TColor color) {
    SetControlColor(ui_.ListView1, color);
    pastYears_->SetColor(color);
}

void TDayLists::ApplyTitles() {
    ui_.DiaryList->setTabText(1, FromCp932(params_.TabTitles[2]));
    ui_.DiaryList->setTabText(2, FromCp932(params_.TabTitles[1]));
    ui_.DiaryList->setTabText(3, FromCp932(params_.TabTitles[0]));
}

bool TDayLists::PastYearsShown() const {
    return ui_.PastYearsButton->isChecked();
}

char TDayLists::RowLetter() const {
    return DayListTab(ui_.DiaryList->currentIndex()).RowLetter;
}

void TDayLists::DiaryListChange() {
    QTreeWidget* list = ui_.ListView1;
    list->clear();
    // The past years follow the options in force; their files are read only while in view.
    pastYears_->Invalidate();
    pastYears_->SetShown(PastYearsShown());
    if (PastYearsShown()) {
        ui_.Stack->setCurrentWidget(pastYears_->View());
        return;
    }
    ui_.Stack->setCurrentWidget(list);
    const std::string_view letters = DayListTab(ui_.DiaryList->currentIndex()).Columns;
    QStringList captions;
    for (const char letter : letters) {
        switch (letter) {
            case 'D':
                captions << u"日付"_qs;
                break;
            case 'c':
                captions << u"内容"_qs;
                break;
            case 'C':
                captions << FromCp932(params_.Titles[2]);
                break;
            case 'N':
                captions << FromCp932(params_.Titles[1]);
                break;
            default:
                captions << FromCp932(params_.Titles[0]);
        }
    }
    list->setColumnCount(static_cast<int>(captions.size()));
    list->setHeaderLabels(captions);
    for (int i = 0; i < captions.size(); ++i) {
        if (letters[i] != 'D') {
            // As wide as the caption; the last column takes the rest of the list.
            list->setColumnWidth(i, list->header()->sectionSizeHint(i));
            continue;
        }
        // The design width, or more when the list's font would cut a date with its icon.
        const int needed = list->fontMetrics().horizontalAdvance(u"12月31日"_qs) +
                           list->style()->pixelMetric(QStyle::PM_SmallIconSize) + kDatePadding;
        list->setColumnWidth(i, std::max(kDateWidth, needed));
    }
    FillDayList();
}

void TDayLists::FillDayList() {
    // The day lists are rebuilt when their tab comes back.
    if (PastYearsShown())
        return;
    QTreeWidget* list = ui_.ListView1;
    list->setUpdatesEnabled(false);
    {
        const QScopedValueRollback<bool> selecting(selecting_, true);
        list->clear();
        const char letter = RowLetter();
        const int month = diary_.Month();
        QList<QTreeWidgetItem*> rows;
        for (int i = 0; i < store_.Count(); ++i) {
            const TDataInfo& rec = store_.Items(i);
            if (DayListRowText(rec, letter, params_.MonthOnly, month).empty())
                continue;
            auto* row = new QTreeWidgetItem;
            FillDayRow(*row, rec);
            rows << row;
        }
        list->addTopLevelItems(rows);
    }
    ApplyTitles();
    SelectCurrentRow();
    list->setUpdatesEnabled(true);
}

void TDayLists::FillDayRow(QTreeWidgetItem& row, const TDataInfo& rec) {
    const TYmd ymd = DecodeDate(rec.Date);
    row.setText(0, QString::asprintf("%2d月%2d日", ymd.Month, ymd.Day));
    row.setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(&rec)));
    row.setText(1, FromCp932(FieldText(RowLetter(), rec)));
    const bool icon = params_.WeatherMark && rec.Weather >= 0 && rec.Weather < WeatherCount();
    row.setIcon(0, icon ? WeatherIcon(rec.Weather) : QIcon());
    // The era date is a hover away; the year's era is in the lists' caption.
    row.setToolTip(0, params_.ShowEraDate ? FromCp932(EraDateText(rec.Date)) : QString());
}

void TDayLists::MonthChanged() {
    if (params_.MonthOnly)
        FillDayList();
}

void TDayLists::SelectCurrentRow() {
    const QScopedValueRollback<bool> selecting(selecting_, true);
    QTreeWidget* list = ui_.ListView1;
    const int32_t date = store_.CurrentDate();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (RecordOf(row)->Date == date) {
            list->setCurrentItem(row);
            list->scrollToItem(row);
            return;
        }
    }
    list->clearSelection();
}

QTreeWidgetItem* TDayLists::RowOf(const TDataInfo& rec) const {
    QTreeWidget* list = ui_.ListView1;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (RecordOf(list->topLevelItem(i)) == &rec)
            return list->topLevelItem(i);
    return nullptr;
}

void TDayLists::DayRecordChanged(const TDataInfo& rec) {
    // Removing a selected row selects another one, which is no choice of the user's.
    const QScopedValueRollback<bool> selecting(selecting_, true);
    const bool listed =
        !DayListRowText(rec, RowLetter(), params_.MonthOnly, diary_.Month()).empty();
    if (QTreeWidgetItem* row = RowOf(rec)) {
        if (listed)
            FillDayRow(*row, rec);
        else
            delete row;
    } else if (listed) {
        FillDayList();
    }
    diary_.RefreshCurrentCell();
}

void TDayLists::DayRecordDeleted(const TDataInfo& rec) {
    const QScopedValueRollback<bool> selecting(selecting_, true);
    delete RowOf(rec);
    diary_.RefreshCurrentCell();
}

void TDayLists::ListView1SelectItem(QTreeWidgetItem* item, bool selected) {
    if (selecting_ || !selected)
        return;
    if (const TDataInfo* rec = RecordOf(item))
        diary_.SetCalendarDate(rec->Date);
}

void TDayLists::ListView1DblClick() {
    if (QTreeWidgetItem* row = ui_.ListView1->currentItem())
        if (const TDataInfo* rec = RecordOf(row))
            diary_.SetCalendarDate(rec->Date);
}

void TDayLists::ListPopupPopup() {
    nYear_->setChecked(!params_.MonthOnly);
    nThismonth_->setChecked(params_.MonthOnly);
}

void TDayLists::N_ThismonthClick(int tag) {
    params_.MonthOnly = tag == 1;
    FillDayList();
}
