#include "mainwindow/search/SearchWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QThread>
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
constexpr int kTextColumn = 2;

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

// Paints a result's text as its highlighted HTML, only for the rows in view: a widget of its own
// in each row would cost more than the search itself once the hits run to thousands.
class THighlightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString html = index.data(TSearchWindow::HighlightRole).toString();
        if (html.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.text.clear();
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, view);
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, view);
        QTextDocument document;
        document.setDefaultFont(cell.font);
        document.setDocumentMargin(0);
        document.setHtml(html);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = cell.palette;
        if (cell.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text, cell.palette.color(QPalette::HighlightedText));
        painter->save();
        const qreal top = textRect.top() + (textRect.height() - document.size().height()) / 2;
        painter->translate(textRect.left(), top);
        painter->setClipRect(QRectF(0, 0, textRect.width(), textRect.height()));
        context.clip = QRectF(0, 0, textRect.width(), textRect.height());
        document.documentLayout()->draw(painter, context);
        painter->restore();
    }
};

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
    results_->setItemDelegateForColumn(kTextColumn, new THighlightDelegate(results_));

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

TSearchWindow::~TSearchWindow() {
    StopThreads();
}

void TSearchWindow::StartSearch() {
    CancelSearch();
    results_->clear();
    found_ = 0;
    damaged_.clear();
    TYearsSearch::TRequest request;
    request.Search = std::make_shared<const TDaySearch>(
        ToCp932(query_->text()), static_cast<TSearchField>(fields_->currentIndex()));
    if (request.Search->Empty()) {
        Finish(u"検索する文字を入力してください"_qs);
        return;
    }
    if (beforeSearch_)
        beforeSearch_();
    std::vector<int> years = YearFilesIn(store_.DataDir());
    if (!store_.FileName().empty()) {
        request.OpenYear = DecodeDate(store_.CurrentDate()).Year;
        years.push_back(request.OpenYear);
        for (int i = 0; i < store_.Count(); ++i)
            request.Open.push_back(store_.Items(i));
    }
    std::sort(years.begin(), years.end());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    request.NewestFirst = order_->currentIndex() == 0;
    if (request.NewestFirst)
        std::reverse(years.begin(), years.end());
    years_ = years;
    progress_->setRange(0, static_cast<int>(years.size()));
    progress_->setValue(0);
    if (years.empty()) {
        Finish(u"%1 件見つかりました"_qs.arg(found_));
        return;
    }
    cancelBtn_->setEnabled(true);
    status_->setText(u"%1年を検索中..."_qs.arg(years.front()));
    searching_ = true;
    request.Years = std::move(years);
    request.Dir = store_.DataDir();
    const unsigned generation = ++generation_;
    auto handOn = [this, generation](std::vector<TYearFound> years, bool last) {
        auto found = std::make_shared<std::vector<TYearFound>>(std::move(years));
        QMetaObject::invokeMethod(
            this, [this, generation, found, last] { YearsFound(generation, *found, last); },
            Qt::QueuedConnection);
    };
    running_ = std::make_unique<TYearsSearch>(std::move(request), std::move(handOn),
                                              std::clamp(QThread::idealThreadCount(), 1, 2));
}

void TSearchWindow::StopThreads() {
    running_.reset();
    // Years found by the stopped search may still be on their way.
    ++generation_;
}

void TSearchWindow::YearsFound(unsigned generation, const std::vector<TYearFound>& years,
                               bool last) {
    if (generation != generation_ || !searching_)
        return;
    for (const TYearFound& year : years) {
        if (year.Damaged)
            damaged_ << QStringLiteral("%1.dat").arg(year.Year);
        AddHits(year.Hits);
    }
    const int done = progress_->value() + static_cast<int>(years.size());
    progress_->setValue(done);
    if (!last) {
        status_->setText(u"%1年を検索中..."_qs.arg(years_[done]));
        return;
    }
    StopThreads();
    Finish(u"%1 件見つかりました"_qs.arg(found_));
}

void TSearchWindow::AddHits(const std::vector<TSearchHit>& hits) {
    const QStringList fieldNames = {fields_->itemText(1), fields_->itemText(2),
                                    fields_->itemText(3), fields_->itemText(4)};
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(hits.size()));
    for (const TSearchHit& hit : hits) {
        const TYmd ymd = DecodeDate(hit.Date);
        auto* row = new QTreeWidgetItem;
        row->setText(0, u"%1年%2月%3日 (%4)"_qs.arg(ymd.Year).arg(ymd.Month).arg(ymd.Day).arg(
                            ShortDayName(DayOfWeek(hit.Date) - 1)));
        row->setData(0, kDateRole, hit.Date);
        const int field = hit.Field == 'C' ? 0 : hit.Field == 'P' ? 1 : hit.Field == 'N' ? 2 : 3;
        row->setText(1, fieldNames[field]);
        row->setText(kTextColumn,
                     FromCp932(hit.Text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        row->setData(kTextColumn, HighlightRole, Highlighted(hit));
        rows << row;
    }
    results_->addTopLevelItems(rows);
    found_ += static_cast<int>(rows.size());
}

void TSearchWindow::CancelSearch() {
    if (!Searching())
        return;
    StopThreads();
    Finish(u"検索を中止しました (%1 件)"_qs.arg(found_));
}

void TSearchWindow::Finish(const QString& text) {
    searching_ = false;
    cancelBtn_->setEnabled(false);
    QString shown = text;
    if (!damaged_.isEmpty())
        shown += u"\n一部しか読めなかったファイル: "_qs + damaged_.join(u"、"_qs);
    status_->setText(shown);
}
