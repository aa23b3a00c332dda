#include "mainwindow/pastyears/PastYears.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "bridge/TextCodec.h"
#include "calendar/Almanac.h"
#include "controls/Diary.h"
#include "mainwindow/StoreEvents.h"
#include "settings/IniParam.h"
#include "storage/DayNumber.h"
#include "storage/DaySearch.h"
#include "storage/PastDays.h"
#include "storage/ScrapList.h"
#include "widgets/ControlColors.h"
#include "widgets/Named.h"
#include "widgets/ReportList.h"
#include "widgets/WeatherIcons.h"

namespace {

constexpr int kDateRole = Qt::UserRole;

QString WeekdayName(int32_t date) {
    static const char16_t* const kNames[] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    return QString::fromUtf16(kNames[DayOfWeek(date) - 1]);
}

}  // namespace

TPastYears::TPastYears(TDiary& diary, const TScrapList& store, TStoreEvents& events,
                       const TInitParam& params, QObject* parent)
    : QObject(parent), diary_(diary), store_(store), params_(params) {
    ui_.Panel = Named(new QWidget, "PastYearsPanel");
    ui_.Note = Named(new QLabel(u"※うるう年の2月29日の日記も表示しています"_qs), "PastYearsNote");
    ui_.Note->setWordWrap(true);
    ui_.Note->hide();
    ui_.List = ReportList("PastYearsList");
    ui_.List->setHeaderLabels({u"日付"_qs, u"タイトル"_qs, u"本文"_qs});
    ui_.List->setMinimumHeight(24);
    ui_.List->header()->setStretchLastSection(true);
    ui_.List->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = new QVBoxLayout(ui_.Panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ui_.Note);
    layout->addWidget(ui_.List, 1);

    connect(ui_.List, &QTreeWidget::itemClicked, this, &TPastYears::RowClicked);
    connect(ui_.List, &QTreeWidget::itemActivated, this, &TPastYears::RowClicked);
    // A year loaded (its file written first when changed) or pages brought in; a new day.
    connect(&events, &TStoreEvents::ListChanged, this, &TPastYears::ListChanged);
    connect(&events, &TStoreEvents::DateChanged, this, &TPastYears::DateChanged);
}

TPastYears::~TPastYears() {
    if (ui_.Panel && !ui_.Panel->parent())
        delete ui_.Panel;
}

void TPastYears::SetColor(TColor color) {
    SetControlColor(ui_.List, color);
}

void TPastYears::SetShown(bool shown) {
    shown_ = shown;
    if (shown_ && stale_)
        Fill();
}

void TPastYears::Invalidate() {
    stale_ = true;
}

void TPastYears::ListChanged() {
    Invalidate();
    SetShown(shown_);
}

void TPastYears::DateChanged() {
    // A year loaded tells its list first, with the new day: that day needs no second reading.
    if (store_.CurrentDate() != filledDate_)
        Invalidate();
    SetShown(shown_);
}

void TPastYears::Fill() {
    const int32_t date = store_.CurrentDate();
    stale_ = false;
    filledDate_ = date;
    QTreeWidget* list = ui_.List;
    list->setUpdatesEnabled(false);
    list->clear();
    ui_.Note->setVisible(date != 0 && ShowsLeapDayPages(date));
    if (date != 0 && !store_.DataDir().empty()) {
        const std::vector<TDataInfo> pages =
            ReadPastDays(store_.DataDir(), date, YearFilesIn(store_.DataDir()),
                         [this](const std::string& path) { return store_.WroteAsItIs(path); });
        QList<QTreeWidgetItem*> rows;
        rows.reserve(static_cast<qsizetype>(pages.size()));
        for (const TDataInfo& page : pages) {
            const TYmd ymd = DecodeDate(page.Date);
            auto* row = new QTreeWidgetItem;
            // A 29 February listed on the 28th says so.
            row->setText(0, ymd.Day == 29 && ymd.Month == 2 && DecodeDate(date).Day != 29
                                ? u"%1年 2/29(%2)"_qs.arg(ymd.Year).arg(WeekdayName(page.Date))
                                : u"%1年(%2)"_qs.arg(ymd.Year).arg(WeekdayName(page.Date)));
            row->setData(0, kDateRole, page.Date);
            if (params_.ShowEraDate)
                row->setToolTip(0, FromCp932(EraDateText(page.Date)));
            if (params_.WeatherMark && page.Weather >= 0 && page.Weather < WeatherCount())
                row->setIcon(0, WeatherIcon(page.Weather));
            row->setText(1, FromCp932(page.Title));
            row->setText(2, FromCp932(FirstBodyLine(page.Text.Text())));
            rows << row;
        }
        list->addTopLevelItems(rows);
        list->resizeColumnToContents(0);
    }
    list->setUpdatesEnabled(true);
}

void TPastYears::RowClicked(QTreeWidgetItem* row) {
    if (row)
        diary_.SetCalendarDate(row->data(0, kDateRole).toInt());
}
