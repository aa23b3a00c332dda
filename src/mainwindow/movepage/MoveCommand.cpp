#include "mainwindow/movepage/MoveCommand.h"

#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "mainwindow/UserMessage.h"
#include "storage/DayNumber.h"
#include "storage/MovePage.h"
#include "storage/ScrapList.h"
#include "storage/YearFile.h"

namespace {

QDate ToQDate(int32_t date) {
    const TYmd ymd = DecodeDate(date);
    return QDate(ymd.Year, ymd.Month, ymd.Day);
}

QString TitleOf(const TDataInfo& rec) {
    const QString title = FromCp932(rec.Title);
    return title.isEmpty() ? u"(題なし)"_qs : title;
}

// The record of date, from the store when its year is open, otherwise from its year file.
TDataInfo RecordOn(const TScrapList& store, int32_t date) {
    if (DecodeDate(date).Year == DecodeDate(store.CurrentDate()).Year)
        return store.FindByDate(date);
    const TYearFileRead read = ReadYearFile(YearFilePath(store.DataDir(), DecodeDate(date).Year));
    for (const TDataInfo& rec : read.Text.Records)
        if (rec.Date == date)
            return rec;
    return EmptyDataInfo;
}

}  // namespace

TMoveCommand::TMoveCommand(QWidget* window, TDiary& diary, TScrapList& store,
                           std::function<void()> storePage, std::function<void()> reloadPage,
                           QObject* parent)
    : QObject(parent),
      window_(window),
      diary_(diary),
      store_(store),
      storePage_(std::move(storePage)),
      reloadPage_(std::move(reloadPage)) {
    PickDate = [this](QDate& date) { return AskDate(date); };
}

bool TMoveCommand::AskDate(QDate& date) {
    QDialog dialog(window_);
    dialog.setWindowTitle(u"日記を移動"_qs);
    auto* edit = new QDateEdit(date, &dialog);
    edit->setObjectName(QStringLiteral("MoveDate"));
    edit->setCalendarPopup(true);
    // Dates as the note editor writes them.
    edit->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    edit->setDisplayFormat(u"yyyy年M月d日"_qs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(u"この日の日記を移動する先の日付:"_qs, &dialog));
    layout->addWidget(edit);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    date = edit->date();
    return true;
}

void TMoveCommand::MoveActionExecute() {
    storePage_();
    if (store_.FindByDate(store_.CurrentDate()).Date == 0) {
        ShowUserMessage(window_, u"この日には移動する日記がありません"_qs);
        return;
    }
    QDate date = ToQDate(store_.CurrentDate());
    if (!PickDate(date) || !date.isValid())
        return;
    MoveTo(EncodeDate(date.year(), date.month(), date.day()));
}

bool TMoveCommand::MoveTo(int32_t date) {
    const int32_t from = store_.CurrentDate();
    if (date == from)
        return false;
    const TDataInfo there = RecordOn(store_, date);
    if (there.Date != 0) {
        const TYmd ymd = DecodeDate(date);
        const QString question =
            u"%1年%2月%3日 にはすでに日記があります。\r\n"
            "移動先: %4\r\n移動する日記: %5\r\n置き換えますか?"_qs.arg(ymd.Year)
                .arg(ymd.Month)
                .arg(ymd.Day)
                .arg(TitleOf(there), TitleOf(store_.FindByDate(from)));
        if (!AskUserYesNo(window_, question))
            return false;
    }
    const TMoveResult result = MovePage(store_, from, date);
    if (!result.Message.empty())
        ShowUserMessage(window_, FromCp932(result.Message));
    if (result.Moved)
        diary_.SetCalendarDate(date);
    else
        reloadPage_();
    return result.Moved;
}
