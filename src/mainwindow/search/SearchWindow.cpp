#include "mainwindow/search/SearchWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "settings/IniParam.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "storage/YearFile.h"

namespace {

constexpr int kDateRole = Qt::UserRole;

QString Shown(std::string_view cp932) {
    return FromCp932(cp932).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).toHtmlEscaped();
}

// The hit's text with every place of a word highlighted.
QString Highlighted(const TSearchHit& hit) {
    const std::string_view text = hit.Text;
    QString html;
    size_t at = 0;
    for (const TSearchMark& mark : hit.Marks) {
        html += Shown(text.substr(at, mark.Begin - at)) + u"<b style=\"background:#ffff66\">"_qs +
                Shown(text.substr(mark.Begin, mark.End - mark.Begin)) + u"</b>"_qs;
        at = mark.End;
    }
    return html + Shown(text.substr(at));
}

}  // namespace

TSearchWindow::TSearchWindow(QWidget* parent, const TScrapList& store, const TInitParam& params,
                             std::function<void()> beforeSearch)
    : QDialog(parent, Qt::Window),
      store_(store),
      params_(params),
      beforeSearch_(std::move(beforeSearch)) {
    setObjectName(QStringLiteral("SearchWindow"));
    setWindowTitle(u"検索"_qs);
    setModal(false);
    query_ = new QLineEdit(this);
    query_->setObjectName(QStringLiteral("SearchQuery"));
    fields_ = new QComboBox(this);
    fields_->setObjectName(QStringLiteral("SearchFields"));
    order_ = new QComboBox(this);
    order_->setObjectName(QStringLiteral("SearchOrder"));
    order_->addItems({u"新しい順"_qs, u"古い順"_qs});
    searchBtn_ = new QPushButton(u"検索(&S)"_qs, this);
    searchBtn_->setObjectName(QStringLiteral("SearchBtn"));
    cancelBtn_ = new QPushButton(u"中止(&C)"_qs, this);
    cancelBtn_->setObjectName(QStringLiteral("CancelBtn"));
    cancelBtn_->setEnabled(false);
    // Enter searches from the query and opens a day from the results, never both.
    for (QPushButton* b : {searchBtn_, cancelBtn_})
        b->setAutoDefault(false);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("SearchProgress"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("SearchStatus"));
    status_->setWordWrap(true);
    results_ = new QTreeWidget(this);
    results_->setObjectName(QStringLiteral("SearchResults"));
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    results_->setHeaderLabels({u"日付"_qs, u"項目"_qs, u"内容"_qs});
    results_->setColumnWidth(0, 130);
    results_->setColumnWidth(1, 90);
    results_->header()->setStretchLastSection(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(u"検索する文字(&F):"_qs, this), 0, 0);
    layout->addWidget(query_, 0, 1, 1, 3);
    layout->addWidget(searchBtn_, 0, 4);
    layout->addWidget(new QLabel(u"項目:"_qs, this), 1, 0);
    layout->addWidget(fields_, 1, 1);
    layout->addWidget(new QLabel(u"並び:"_qs, this), 1, 2);
    layout->addWidget(order_, 1, 3);
    layout->addWidget(cancelBtn_, 1, 4);
    layout->addWidget(results_, 2, 0, 1, 5);
    layout->addWidget(progress_, 3, 0, 1, 2);
    layout->addWidget(status_, 3, 2, 1, 3);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);
    resize(560, 420);

    connect(query_, &QLineEdit::returnPressed, this, &TSearchWindow::StartSearch);
    connect(searchBtn_, &QPushButton::clicked, this, &TSearchWindow::StartSearch);
    connect(cancelBtn_, &QPushButton::clicked, this, &TSearchWindow::CancelSearch);
    connect(results_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { Q_EMIT DayChosen(item->data(0, kDateRole).toInt()); });
    connect(this, &QDialog::rejected, this, &TSearchWindow::CancelSearch);
}

void TSearchWindow::Open() {
    // The fields carry the user's titles as they are now.
    const int field = std::max(fields_->currentIndex(), 0);
    fields_->clear();
    fields_->addItems({u"すべて"_qs, u"日記"_qs, FromCp932(params_.Titles[0]),
                       FromCp932(params_.Titles[1]), FromCp932(params_.Titles[2])});
    fields_->setCurrentIndex(field);
    show();
    raise();
    activateWindow();
    query_->setFocus();
    query_->selectAll();
}

void TSearchWindow::StartSearch() {
    CancelSearch();
    results_->clear();
    found_ = 0;
    damaged_.clear();
    search_ = std::make_unique<TDaySearch>(ToCp932(query_->text()),
                                           static_cast<TSearchField>(fields_->currentIndex()));
    if (search_->Empty()) {
        Finish(u"検索する文字を入力してください"_qs);
        return;
    }
    if (beforeSearch_)
        beforeSearch_();
    years_ = YearFilesIn(store_.DataDir());
    if (!store_.FileName().empty())
        years_.push_back(DecodeDate(store_.CurrentDate()).Year);
    std::sort(years_.begin(), years_.end());
    years_.erase(std::unique(years_.begin(), years_.end()), years_.end());
    // The next year is taken from the back.
    if (order_->currentIndex() == 1)
        std::reverse(years_.begin(), years_.end());
    progress_->setRange(0, static_cast<int>(years_.size()));
    progress_->setValue(0);
    cancelBtn_->setEnabled(true);
    QTimer::singleShot(0, this, &TSearchWindow::SearchNextYear);
}

void TSearchWindow::SearchNextYear() {
    if (years_.empty())
        return;
    const int year = years_.back();
    years_.pop_back();
    status_->setText(u"%1年を検索中..."_qs.arg(year));
    std::vector<TSearchHit> hits;
    const bool open = !store_.FileName().empty() && DecodeDate(store_.CurrentDate()).Year == year;
    if (open) {
        for (int i = 0; i < store_.Count(); ++i)
            if (auto hit = search_->Match(store_.Items(i)))
                hits.push_back(std::move(*hit));
    } else {
        const std::string path = YearFilePath(store_.DataDir(), year);
        const TYearFileRead read = ReadYearFile(path, TYearFileFields::WithoutRichText);
        // What could be read is searched; the file itself is never changed here.
        if (!read.Error.empty() || !read.Text.BadLines.empty())
            damaged_ << QStringLiteral("%1.dat").arg(year);
        for (const TDataInfo& rec : read.Text.Records)
            if (auto hit = search_->Match(rec))
                hits.push_back(std::move(*hit));
    }
    AddHits(std::move(hits));
    progress_->setValue(progress_->value() + 1);
    if (years_.empty()) {
        Finish(u"%1 件見つかりました"_qs.arg(found_));
        return;
    }
    QTimer::singleShot(0, this, &TSearchWindow::SearchNextYear);
}

void TSearchWindow::AddHits(std::vector<TSearchHit> hits) {
    if (order_->currentIndex() == 0)
        std::reverse(hits.begin(), hits.end());
    const QStringList fieldNames = {fields_->itemText(1), fields_->itemText(2),
                                    fields_->itemText(3), fields_->itemText(4)};
    for (const TSearchHit& hit : hits) {
        const TYmd ymd = DecodeDate(hit.Date);
        auto* row = new QTreeWidgetItem(results_);
        row->setText(0, u"%1年%2月%3日 (%4)"_qs.arg(ymd.Year).arg(ymd.Month).arg(ymd.Day).arg(
                            ShortDayName(DayOfWeek(hit.Date) - 1)));
        row->setData(0, kDateRole, hit.Date);
        const int field = hit.Field == 'C' ? 0 : hit.Field == 'P' ? 1 : hit.Field == 'N' ? 2 : 3;
        row->setText(1, fieldNames[field]);
        row->setText(2, FromCp932(hit.Text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        auto* text = new QLabel(Highlighted(hit));
        text->setObjectName(QStringLiteral("SearchHitText"));
        text->setTextFormat(Qt::RichText);
        // The plain text of the row stays for reading back; the label paints over it.
        row->setForeground(2, Qt::transparent);
        results_->setItemWidget(row, 2, text);
        ++found_;
    }
}

void TSearchWindow::CancelSearch() {
    if (!Searching())
        return;
    years_.clear();
    Finish(u"検索を中止しました (%1 件)"_qs.arg(found_));
}

void TSearchWindow::Finish(const QString& text) {
    cancelBtn_->setEnabled(false);
    QString shown = text;
    if (!damaged_.isEmpty())
        shown += u"\n一部しか読めなかったファイル: "_qs + damaged_.join(u"、"_qs);
    status_->setText(shown);
}
