#include "mainwindow/daypage/DayPage.h"

#include <algorithm>

#include <QActionGroup>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWidgetAction>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "calendar/Almanac.h"
#include "calendar/QReki.h"
#include "controls/Diary.h"
#include "mainwindow/PageState.h"
#include "mainwindow/StoreEvents.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/daypage/BodyEdit.h"
#include "mainwindow/daypage/PreeditCommit.h"
#include "richtext/BodyAgreement.h"
#include "richtext/BodyText.h"
#include "richtext/RtfWriter.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "widgets/BandBox.h"
#include "widgets/BevLabel.h"
#include "widgets/ControlColors.h"
#include "widgets/PaintedIcon.h"
#include "widgets/WeatherIcons.h"

namespace {

// Items per column of the weather menu.
constexpr int kWeatherColumn = 14;
constexpr int kWeatherImageSize = static_cast<int>(kIconGrid);
// The weather picture in a grid cell: no larger than this, and left out when it would be
// smaller than the other.
constexpr int kCellPictureMax = 24;
constexpr int kCellPictureMin = 6;
const QColor kRokuyoOutside(192, 192, 192);
const QColor kRokuyoLucky(255, 0, 0);
const QColor kRokuyoOther(128, 128, 128);
const QColor kSeasonColor(0, 128, 0);

// The day's solar term, else its seasonal days.
QString SeasonText(int32_t day) {
    const std::string term = SolarTermText(day);
    return FromCp932(term.empty() ? ZassetsuText(day) : term);
}

// The editors keep line breaks as LF; the records keep them as CR LF. original is the field the
// text was shown from.
std::string ToRecordText(QString text, const std::string& original) {
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToCp932(text, original);
}

QString FromRecordText(const std::string& text) {
    QString s = FromCp932(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

}  // namespace

TDayPage::TDayPage(TDiary& diary, TScrapList& store, TStoreEvents& events, TPageState& state,
                   TKyureki& kyureki, TInitParam& params)
    : diary_(diary),
      store_(store),
      state_(state),
      kyureki_(kyureki),
      params_(params),
      preedit_(std::make_unique<TPreeditCommit>(std::initializer_list<QWidget*>{
          view_.Comment, view_.DiaryMemo, view_.NewsMemo, view_.PrivMemo})) {
    connect(view_.Comment, &QLineEdit::textChanged, this, &TDayPage::DataChanged);
    // Qt reports an input method's events as text changes even when they change no text (the
    // empty one on focus, a preedit shown): only an edit marks a document modified.
    for (QPlainTextEdit* memo : {view_.NewsMemo, view_.PrivMemo})
        connect(memo, &QPlainTextEdit::textChanged, this, [this, memo] {
            if (memo->document()->isModified())
                DataChanged();
        });
    connect(view_.DiaryMemo, &QTextEdit::textChanged, this, [this] {
        if (state_.Updating() || !view_.DiaryMemo->document()->isModified())
            return;
        bodyTouched_ = true;
        DataChanged();
    });
    // Relative links in a page lead into the diary folder, wherever the program lies.
    if (auto* body = qobject_cast<TBodyEdit*>(view_.DiaryMemo); body && !store_.DataDir().empty())
        body->LinkFolder = QUrl::fromLocalFile(QFile::decodeName(store_.DataDir().c_str()));
    BuildMonthList();
    BuildWeatherPopup();
    SetWeather(WeatherUnknown);

    connect(&events, &TStoreEvents::LeaveDate, this, &TDayPage::StorePage);
    connect(&events, &TStoreEvents::DateChanged, this, &TDayPage::DateChanged);
    // The store forgets its current record when one is deleted: the page shows what it holds.
    connect(&events, &TStoreEvents::RecordDeleted, this, &TDayPage::UndoActionExecute);
    diary_.OnEventDefine = [this](TDiary*, double date) { return Diary1EventDefine(date); };
    diary_.OnDrawCell = [this](TDiary*, int32_t date, bool thisMonth, QPainter& canvas,
                               const QRect& rect) {
        Diary1DrawCell(date, thisMonth, canvas, rect);
    };
}

TDayPage::~TDayPage() {
    diary_.OnEventDefine = nullptr;
    diary_.OnDrawCell = nullptr;
}

void TDayPage::BuildMonthList() {
    auto* group = new QActionGroup(view_.MonthList);
    for (int month = 1; month <= 12; ++month) {
        QAction* item = view_.MonthList->addAction(QStringLiteral("%1月").arg(month));
        item->setCheckable(true);
        item->setData(month);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, month] { MonthMenuClick(month); });
    }
}

void TDayPage::BuildWeatherPopup() {
    weatherPopup_ = new QMenu(view_.WeatherBtn);
    weatherPopup_->setObjectName(QStringLiteral("WeatherPopup"));
    // Its items are made when it first opens: the start need not wait for a menu it does not
    // show. The menu itself is set now, so that the button shows its arrow from the first frame.
    connect(weatherPopup_, &QMenu::aboutToShow, this, &TDayPage::FillWeatherPopup);
    view_.WeatherBtn->setMenu(weatherPopup_);
}

void TDayPage::FillWeatherPopup() {
    if (!weatherPopup_->actions().isEmpty())
        return;
    // A menu shows one column; three columns of items are laid out in a grid of buttons.
    auto* grid = new QWidget(weatherPopup_);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    for (int i = 0; i < WeatherCount(); ++i) {
        auto* item = new QToolButton(grid);
        item->setObjectName(QStringLiteral("Weather%1").arg(i));
        item->setText(WeatherName(i));
        item->setIcon(WeatherIcon(i));
        item->setIconSize(QSize(kWeatherImageSize, kWeatherImageSize));
        item->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        item->setAutoRaise(true);
        item->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        item->setProperty("imageIndex", i);
        layout->addWidget(item, i % kWeatherColumn, i / kWeatherColumn);
        connect(item, &QToolButton::clicked, this, [this, i] {
            weatherPopup_->close();
            OnWeatherChange(i);
        });
    }
    auto* action = new QWidgetAction(weatherPopup_);
    action->setDefaultWidget(grid);
    weatherPopup_->addAction(action);
}

QWidget* TDayPage::Window() const {
    return view_.Header()->window();
}

void TDayPage::PopupMonthList(const QPoint& global) {
    view_.MonthList->popup(global);
}

void TDayPage::SetColors(const std::array<TColor, 7>& colors) {
    view_.SetColors(colors);
}

void TDayPage::ApplySettings() {
    view_.DateDisp->setFont(FontFromDesc(params_.DateFont));
    view_.DateDisp->SetFontColor(params_.DateFont.Color);
    view_.NewsMemo->setFont(FontFromDesc(params_.NewsFont));
    SetTextColor(view_.NewsMemo, params_.NewsFont.Color);
    view_.PrivMemo->setFont(FontFromDesc(params_.MemoFont));
    SetTextColor(view_.PrivMemo, params_.MemoFont.Color);
    view_.DateLabel->setText(FromCp932(params_.Titles[0]));
    view_.CoolBar2->SetBandText(0, FromCp932(params_.Titles[1]));
    view_.CoolBar2->SetBandText(1, FromCp932(params_.Titles[2]));
    // The almanac's switches change the header and the year caption.
    if (store_.CurrentDate() != 0) {
        // The grid's cells reckon with the same calendar: back to the page's day.
        kyureki_.Calculate(store_.CurrentDate());
        view_.Label1->setText(Label1Text());
        ShowYearCaption(DecodeDate(store_.CurrentDate()).Year);
    }
}

void TDayPage::CalendarChange() {
    for (QAction* item : view_.MonthList->actions())
        if (item->data().toInt() == diary_.Month())
            item->setChecked(true);
    store_.SetDate(WholeDay(diary_.CalendarDate()));
}

void TDayPage::Diary1ChangeDate(double date) {
    store_.SetDate(WholeDay(date));
}

uint8_t TDayPage::Diary1EventDefine(double date) const {
    return static_cast<uint8_t>(EventMask(store_.FindByDate(date)));
}

void TDayPage::Diary1DrawCell(int32_t date, bool thisMonth, QPainter& canvas, const QRect& rect) {
    const TRokuyoFaces::TLook* look = nullptr;
    std::optional<TRokuyoFaces::TLabel> season;
    const TDiaryBandParts parts = CellBandParts(canvas.font(), rect, date, &look, &season);
    canvas.save();
    canvas.setClipRect(rect);
    if (season) {
        canvas.setFont(season->Font);
        canvas.setPen(thisMonth ? kSeasonColor : kRokuyoOutside);
        canvas.drawText(
            QPoint(parts.Label.right() - season->Ink.right(), parts.Label.top() + season->Ascent),
            season->Text);
    } else if (look) {
        kyureki_.Calculate(date);
        if (const int rokuyo = kyureki_.RokuyoIndex(); rokuyo >= 0) {
            const auto i = static_cast<size_t>(rokuyo);
            canvas.setFont(look->Font);
            canvas.setPen(!thisMonth                   ? kRokuyoOutside
                          : kyureki_.RokuyoKind() == 1 ? kRokuyoLucky
                                                       : kRokuyoOther);
            // Right-aligned on the common baseline, so the names of a row line up.
            canvas.drawText(QPoint(parts.Label.right() - look->Inks[i].right(),
                                   parts.Label.top() + look->Ascent),
                            look->Names[i]);
        }
    }
    if (params_.WeatherIcon && !parts.Picture.isEmpty()) {
        const TDataInfo& rec = store_.FindByDate(date);
        // "不明" is no weather: it draws nothing.
        if (rec.Date != 0 && rec.Weather >= 0 && rec.Weather < WeatherUnknown) {
            canvas.setClipRect(parts.Picture);
            PaintWeather(canvas, rec.Weather, QRectF(parts.Picture));
        }
    }
    canvas.restore();
}

TDiaryBandParts TDayPage::CellBandParts(const QFont& cellFont, const QRect& band, int32_t date,
                                        const TRokuyoFaces::TLook** look,
                                        std::optional<TRokuyoFaces::TLabel>* season) {
    // A solar term or seasonal day takes the rokuyo's place on its day, when it fits.
    std::optional<TRokuyoFaces::TLabel> seasonLabel =
        params_.SeasonInGrid ? rokuyoFaces_.FittingText(cellFont, SeasonText(date), band.size())
                             : std::nullopt;
    if (seasonLabel) {
        const QSize size = seasonLabel->Size;
        if (look)
            *look = nullptr;
        if (season)
            *season = std::move(seasonLabel);
        return DiaryBandParts(band, size, kCellPictureMin, kCellPictureMax);
    }
    const TRokuyoFaces::TLook* fitting =
        params_.ShowRokuyo ? rokuyoFaces_.Fitting(cellFont, band.size()) : nullptr;
    if (look)
        *look = fitting;
    return DiaryBandParts(band, fitting ? fitting->Size : QSize(), kCellPictureMin,
                          kCellPictureMax);
}

void TDayPage::StorePage(int32_t date) {
    CommitPreedit();
    if (Changed()) {
        const TDataInfo rec = PageRecord(date);
        const bool holdsPage = HoldsPage(rec);
        if (bodyTouched_ || !holdsPage)
            KeepSetAsideBody();
        if (holdsPage)
            store_.PutRecord(rec);
        else
            store_.DeleteByDate(date);
    }
    MarkDocumentsStored();
    loaded_ = store_.FindByDate(date);
    storedInterim_ = false;
    unwritten_ = false;
    SetChanged(false);
}

void TDayPage::StoreInterim() {
    if (!unwritten_)
        return;
    const int32_t date = store_.CurrentDate();
    const TDataInfo rec = PageRecord(date);
    if (!HoldsPage(rec))
        return;
    if (bodyTouched_)
        KeepSetAsideBody();
    store_.PutRecord(rec);
    MarkDocumentsStored();
    storedInterim_ = true;
    unwritten_ = false;
    Q_EMIT Deletable(true);
    Q_EMIT StateChanged();
}

// The editors' documents count as modified from the next edit on.
void TDayPage::MarkDocumentsStored() {
    for (QTextDocument* document :
         {view_.DiaryMemo->document(), view_.PrivMemo->document(), view_.NewsMemo->document()})
        document->setModified(false);
}

void TDayPage::CommitPreedit() {
    preedit_->Commit();
}

TDataInfo TDayPage::PageRecord(int32_t date) const {
    TDataInfo rec;
    rec.Date = date;
    rec.Title = ToCp932(view_.Comment->text(), loaded_.Title);
    rec.Text = ToCp932(PlainTextForField(*view_.DiaryMemo->document()), loaded_.Text.Text());
    if (!rec.Text.Empty() || HoldsMoreThanText(*view_.DiaryMemo->document()))
        rec.RichText =
            bodyTouched_ ? TLazyText(WriteRtf(*view_.DiaryMemo->document())) : loadedRichText_;
    rec.Private = ToRecordText(view_.PrivMemo->toPlainText(), loaded_.Private);
    rec.News = ToRecordText(view_.NewsMemo->toPlainText(), loaded_.News);
    rec.Weather = weather_;
    return rec;
}

void TDayPage::DateChanged(uint8_t flags, int year, int month, int day) {
    diary_.SetCalendarDate(EncodeDate(year, month, day));
    kyureki_.Calculate(diary_.CalendarDate());
    if (flags & YearChanged)
        ShowYearCaption(year);
    if (flags & MonthChanged)
        Q_EMIT MonthShown(QStringLiteral("%1年 %2月").arg(year).arg(month));
    view_.Label1->setText(Label1Text());
    const TYmd ymd = DecodeDate(store_.CurrentDate());
    view_.DateDisp->SetCaption(
        DateDispText(ymd.Year, ymd.Month, ymd.Day, DayOfWeek(store_.CurrentDate())));
    UndoActionExecute();
}

void TDayPage::ShowYearCaption(int year) {
    const QString era = FromCp932(EraYearText(year));
    const QString western = QStringLiteral("%1年").arg(year);
    QString tip = western;
    if (!era.isEmpty())
        tip += u"（"_qs + era + u"）"_qs;
    Q_EMIT YearShown((params_.EraYearCaption && !era.isEmpty() ? era : western) + u"日記"_qs,
                     tip + u"　"_qs + FromCp932(EtoName(YearEtoIndex(year))) + u"年"_qs);
}

QString TDayPage::Label1Text() const {
    const int32_t day = WholeDay(kyureki_.Date());
    QString text;
    if (params_.ShowEraDate && !EraDateText(day).empty())
        text = FromCp932(EraDateText(day)) + u"　"_qs;
    text += FromCp932(kyureki_.MonthName()) + u"　"_qs + OldDateText() + u"　【"_qs +
            FromCp932(kyureki_.RokuyoName()) + u"】\r\n"_qs;
    QStringList almanac;
    if (params_.ShowEraDate)
        almanac << FromCp932(EtoName(YearEtoIndex(DecodeDate(day).Year))) + u"年"_qs;
    if (params_.ShowDayEto)
        almanac << FromCp932(EtoName(DayEtoIndex(day))) + u"日"_qs;
    if (params_.ShowSeason) {
        for (const std::string& name : {SolarTermText(day), ZassetsuText(day)})
            if (!name.empty())
                almanac << FromCp932(name);
    }
    text += almanac.join(u"　"_qs);
    QString holidays = diary_.HolidayText();
    if (!holidays.isEmpty()) {
        holidays.replace(QStringLiteral("\r\n"), QStringLiteral("/"));
        holidays.replace(QLatin1Char('\n'), QLatin1Char('/'));
        text += u" 《"_qs + holidays + u"》"_qs;
    }
    return text;
}

QString TDayPage::OldDateText() const {
    if (kyureki_.Month() == 0)
        return {};
    return u"旧"_qs + (kyureki_.Leap() ? u"閏"_qs : QString()) +
           QStringLiteral("%1月%2日").arg(kyureki_.Month()).arg(kyureki_.Day());
}

void TDayPage::TodayBtnClick() {
    diary_.SetCalendarDate(Today());
}

void TDayPage::ToolButton11Click(int tag) {
    diary_.MoveMonth(tag / 10 - 1, tag % 10 - 1);
}

void TDayPage::MonthMenuClick(int month) {
    diary_.SetCalendarDate(EncodeDate(diary_.Year(), month, 1));
}

void TDayPage::DataChanged() {
    if (state_.Updating())
        return;
    unwritten_ = true;
    SetChanged(true);
    Q_EMIT Edited();
}

void TDayPage::BodyFormatted() {
    if (state_.Updating())
        return;
    bodyTouched_ = true;
    DataChanged();
}

void TDayPage::OnWeatherChange(int index) {
    SetWeather(index);
    unwritten_ = true;
    SetChanged(Window()->isEnabled());
    Q_EMIT Edited();
}

void TDayPage::UndoActionExecute() {
    const auto updating = state_.UpdatingScope();
    const TDataInfo& rec = store_.Current();
    loaded_ = rec;
    storedInterim_ = false;
    unwritten_ = false;
    view_.Comment->setText(FromCp932(rec.Title));
    loadedRichText_ = rec.RichText;
    bodyTouched_ = false;
    ShowBody(rec);
    view_.PrivMemo->setPlainText(FromRecordText(rec.Private));
    view_.NewsMemo->setPlainText(FromRecordText(rec.News));
    SetWeather(rec.Weather < 0 ? WeatherUnknown : rec.Weather);

    view_.DiaryMemo->moveCursor(QTextCursor::Start);
    view_.Comment->setModified(false);
    MarkDocumentsStored();
    SetChanged(false);
    Q_EMIT Deletable(store_.Current().Date != 0);
    Window()->update();
    Q_EMIT Loaded();
}

void TDayPage::ShowBody(const TDataInfo& rec) {
    // The field is what the lists and the search show, and the text a save would keep.
    const TBodyAgreement agreement =
        ReadPageBody(rec.RichText.Text(), rec.Text.Text(), *view_.DiaryMemo->document());
    setAside_ = agreement != TBodyAgreement::Agrees;
    if (!setAside_ || !toldSetAside_.insert(rec.Date).second)
        return;
    const TYmd ymd = DecodeDate(rec.Date);
    const QString text =
        QStringLiteral("%1年%2月%3日のページは、").arg(ymd.Year).arg(ymd.Month).arg(ymd.Day) +
        (agreement == TBodyAgreement::Cut
             ? u"書式付きの本文が途中で切れているので"_qs
             : u"書式付きの本文が、一覧や検索に使う文字だけの本文と食い違っているので"_qs) +
        u"、書式を外して文字だけの本文を表示します。\r\nこのページの本文を書き換えたり削除したり"
        u"するときは、その前に元のファイルを別の名前で残します。"_qs;
    // Said once the page is up, not from within the store's move to the day.
    QTimer::singleShot(0, this, [this, text] { ShowUserMessage(Window(), text); });
}

// The RTF of a page shown without it is about to leave the store: the year file on disk, which
// still holds it, is kept before the next save.
void TDayPage::KeepSetAsideBody() {
    if (!setAside_)
        return;
    store_.KeepBeforeSave();
    setAside_ = false;
}

void TDayPage::UndoCommand() {
    if (!Changed())
        return;
    CommitPreedit();
    if (!AskUserYesNo(Window(),
                      u"このページの変更を取り消して、読み込んだときの内容に戻しますか?"_qs))
        return;
    if (storedInterim_) {
        // The store holds the page as last written; it goes back with the page.
        const TDataInfo loaded = loaded_;
        if (loaded.Date != 0)
            store_.PutRecord(loaded);
        else
            store_.DeleteByDate(store_.CurrentDate());
    }
    UndoActionExecute();
}

void TDayPage::DeleteBtnClick() {
    if (HoldsText() && !AskUserYesNo(Window(), u"この日の日記を削除しますか?"_qs))
        return;
    KeepSetAsideBody();
    store_.DeleteByDate(diary_.CalendarDate());
}

bool TDayPage::HoldsText() const {
    return HoldsWriting(PageRecord(store_.CurrentDate())) ||
           HoldsWriting(store_.FindByDate(diary_.CalendarDate()));
}

bool TDayPage::Changed() const {
    return changed_;
}

void TDayPage::SetWeather(int index) {
    weather_ = index;
    view_.WeatherBtn->setIcon(WeatherIcon(index));
    view_.WeatherBtn->setToolTip(WeatherName(index));
}

void TDayPage::SetChanged(bool changed) {
    changed_ = changed;
    Q_EMIT Undoable(changed);
    Q_EMIT StateChanged();
}
