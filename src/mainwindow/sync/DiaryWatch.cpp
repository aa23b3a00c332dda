#include "mainwindow/sync/DiaryWatch.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/WriteSchedule.h"
#include "mainwindow/daypage/DayPage.h"
#include "mainwindow/reminders/Reminders.h"
#include "notes/NoteList.h"
#include "richtext/BodyAgreement.h"
#include "richtext/BodyText.h"
#include "richtext/RtfWriter.h"
#include "storage/CommaDB.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"
#include "sync/ConflictCopies.h"

namespace {

// The fallback check, for replacements a watch misses.
constexpr int kPollMs = 2000;
// A service writes a file in several steps; the check waits for them to settle.
constexpr int kSettleMs = 300;

QString Shown(const std::string& cp932) {
    return FromCp932(cp932).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A day's texts, each under its name, as the dialog shows them side by side.
QString DayText(const TDataInfo* rec) {
    if (!rec || rec->Date == 0)
        return u"(削除されています)"_qs;
    QString text;
    for (const auto& [label, field] :
         {std::pair{u"ひと言"_qs, &rec->Title}, std::pair{u"本文"_qs, &rec->Text.Text()},
          std::pair{u"ニュース"_qs, &rec->News}, std::pair{u"メモ"_qs, &rec->Private}})
        if (!field->empty())
            text += label + u":\n"_qs + Shown(*field) + u"\n\n"_qs;
    return text;
}

std::optional<TDataInfo> TheirDay(const TPendingConflict& conflict) {
    if (!conflict.Theirs)
        return std::nullopt;
    TYearFileText text = ParseYearFile(*conflict.Theirs + "\r\n");
    if (text.Records.empty())
        return std::nullopt;
    return text.Records.front();
}

// The day of a year file's conflict; 0 for a key that is no day number.
int32_t DayOf(const TPendingConflict& conflict) {
    const std::optional<int64_t> day = ParseInteger(conflict.Key);
    return day && *day > 0 && *day <= INT32_MAX ? static_cast<int32_t>(*day) : 0;
}

QString DateText(int32_t date) {
    const TYmd ymd = DecodeDate(date);
    return QStringLiteral("%1/%2/%3")
        .arg(ymd.Year)
        .arg(ymd.Month, 2, 10, QLatin1Char('0'))
        .arg(ymd.Day, 2, 10, QLatin1Char('0'));
}

TNoteRec* NoteTitled(TNoteList& list, const std::string& title) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i)->Title == title)
            return list.Items(i);
    return nullptr;
}

// The page ours with the other's texts added under divider, the body keeping its formatting.
TDataInfo BothDays(const TDataInfo& ours, const TDataInfo& theirs, const QString& divider) {
    TDataInfo both = ours;
    both.Date = theirs.Date;
    QTextDocument document;
    ReadPageBody(ours.RichText.Text(), ours.Text.Text(), document);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u"\n"_qs + divider + u"\n"_qs + Shown(theirs.Text.Text()));
    both.RichText = TLazyText(WriteRtf(document));
    both.Text = ToCp932(PlainTextForField(document));
    const std::string line = ToCp932(divider);
    for (const auto& [field, other] :
         {std::pair{&both.Title, &theirs.Title}, std::pair{&both.News, &theirs.News},
          std::pair{&both.Private, &theirs.Private}}) {
        if (*field == *other || other->empty())
            continue;
        *field = field->empty()         ? *other
                 : field == &both.Title ? *field + " / " + *other
                                        : *field + "\r\n" + line + "\r\n" + *other;
    }
    if (both.Weather < 0)
        both.Weather = theirs.Weather;
    return both;
}

}  // namespace

TDiaryWatch::TDiaryWatch(TForm1& form, const QString& executablePath, std::string stateDir)
    : QObject(&form),
      form_(form),
      dir_(QFile::encodeName(QFileInfo(executablePath).absolutePath() + u'/').toStdString()),
      baseName_(QFile::encodeName(QFileInfo(executablePath).completeBaseName()).toStdString()),
      stateDir_(std::move(stateDir)),
      watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)),
      poll_(new QTimer(this)),
      pending_(LoadPendingConflicts(stateDir_)) {
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, &TDiaryWatch::Check);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &TDiaryWatch::Check);
    poll_->start();
    const auto changed = [this] { settle_->start(); };
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, changed);
    WatchFiles();
    form_.ScrapList().OnDiskMerged = [this](TScrapList&, const TDiskMerge& merge) {
        YearMerged(merge);
    };
    for (TNoteList* list : {&form_.TodoList(), &form_.MemoryList()})
        list->OnDiskMerged = [this](TNoteList& sender, const TNoteDiskMerge& merge) {
            NotesMerged(sender, merge);
        };
    // What an earlier run or the start's conflict copies left undecided is asked once the
    // window is up.
    if (!pending_.empty())
        QTimer::singleShot(0, this, &TDiaryWatch::ShowConflicts);
}

void TDiaryWatch::WatchFiles() {
    QStringList paths{QFile::decodeName(dir_.c_str())};
    for (const std::string& file :
         {form_.ScrapList().FileName(), form_.TodoList().FileName(), form_.MemoryList().FileName()})
        if (!file.empty() && QFile::exists(QFile::decodeName(file.c_str())))
            paths.append(QFile::decodeName(file.c_str()));
    // A file replaced by a rename drops out of the watch; it is added again.
    const QStringList watched = watcher_->files() + watcher_->directories();
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [&watched](const QString& path) { return watched.contains(path); }),
                paths.end());
    if (!paths.isEmpty())
        watcher_->addPaths(paths);
}

void TDiaryWatch::Check() {
    if (checking_)
        return;
    checking_ = true;
    TScrapList& store = form_.ScrapList();
    TNoteList& todo = form_.TodoList();
    TNoteList& memory = form_.MemoryList();
    const bool copies = HoldsConflictCopies(dir_, baseName_);
    if (copies || store.ChangedOnDisk() || todo.ChangedOnDisk() || memory.ChangedOnDisk()) {
        // The page being written goes into the store and out to the files first: the save merges
        // what arrived, and meets the user's writing there.
        form_.Writes().WriteSoon();
        store.TakeDiskChanges();
        todo.TakeDiskChanges();
        memory.TakeDiskChanges();
        if (copies) {
            // The merge records the merged files as the base, as at start; the store and the
            // lists still hold the files as they were, and take the merged files in against what
            // they last read.
            std::vector<std::pair<std::string, TMergeBase>> bases;
            for (const std::string& path : {store.FileName(), todo.FileName(), memory.FileName()})
                if (!path.empty()) {
                    const std::string name =
                        QFileInfo(QFile::decodeName(path.c_str())).fileName().toStdString();
                    bases.emplace_back(name, LoadMergeBase(stateDir_, name));
                }
            const TConflictCopiesOutcome outcome = MergeConflictCopies(dir_, baseName_, stateDir_);
            for (const auto& [name, base] : bases)
                RememberMergeBase(stateDir_, name, base);
            std::vector<TPendingConflict> added;
            QString problems;
            for (const TConflictCopy& copy : outcome.Copies) {
                const int64_t time = FileStampOf(copy.MovedTo).ModifiedSeconds;
                for (const TDayConflict& day : copy.Days)
                    added.push_back(PendingDay(copy.Found.Original, copy.Name, time, day));
                for (const TNoteConflict& note : copy.Notes)
                    added.push_back(PendingNote(copy.Found.Original, copy.Name, time, note));
                if (!copy.Problem.empty())
                    problems += u"\r\n"_qs + FromCp932(copy.Name + ": " + copy.Problem);
            }
            Keep(added);
            store.TakeDiskChanges();
            todo.TakeDiskChanges();
            memory.TakeDiskChanges();
            // A copy left where it was is said once; the next checks find it again silently.
            if (!problems.isEmpty() && problems != toldProblems_) {
                toldProblems_ = problems;
                ShowUserMessage(
                    &form_, u"同期サービスが残した競合ファイルを取り込めません。"_qs + problems);
            }
        }
        form_.Writes().UpdateSaveState();
    }
    WatchFiles();
    checking_ = false;
}

void TDiaryWatch::YearMerged(const TDiskMerge& merge) {
    const std::string name =
        QFileInfo(QFile::decodeName(merge.Path.c_str())).fileName().toStdString();
    std::vector<TPendingConflict> added;
    for (const TDayConflict& day : merge.Merge.Conflicts)
        added.push_back(PendingDay(name, name, merge.Stamp.ModifiedSeconds, day));
    Keep(added);
    Follow();
}

void TDiaryWatch::NotesMerged(const TNoteList& list, const TNoteDiskMerge& merge) {
    const std::string name =
        QFileInfo(QFile::decodeName(list.FileName().c_str())).fileName().toStdString();
    std::vector<TPendingConflict> added;
    for (const TNoteConflict& note : merge.Merge.Conflicts)
        added.push_back(PendingNote(name, name, merge.Stamp.ModifiedSeconds, note));
    Keep(added);
    notesMerged_ = true;
    Follow();
}

void TDiaryWatch::Keep(const std::vector<TPendingConflict>& added) {
    if (added.empty())
        return;
    AddPendingConflicts(pending_, added);
    try {
        SavePendingConflicts(stateDir_, pending_);
    } catch (const VelmoraError& e) {
        ShowUserMessage(&form_, FromCp932(e.what()));
    }
    QTimer::singleShot(0, this, &TDiaryWatch::ShowConflicts);
}

// The panels follow once the store's operation is over: a merge may run inside a save.
void TDiaryWatch::Follow() {
    if (followQueued_)
        return;
    followQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        followQueued_ = false;
        form_.Diary1().update();
        if (!form_.Page().Changed())
            form_.Page().UndoActionExecute();
        if (std::exchange(notesMerged_, false)) {
            form_.Reminders().FillTodoList();
            form_.Reminders().FillMemoryList();
            form_.Reminders().FillMonthList();
        }
    });
}

std::vector<TConflictRow> TDiaryWatch::Rows() const {
    std::vector<TConflictRow> rows;
    for (const TPendingConflict& conflict : pending_) {
        TConflictRow row;
        const QString file = QString::fromStdString(conflict.File);
        const QString time = QDateTime::fromSecsSinceEpoch(conflict.Time)
                                 .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        row.TheirsCaption =
            u"別のコンピューターの版 (%1, %2)"_qs.arg(FromCp932(conflict.Source), time);
        if (IsYearConflict(conflict)) {
            const int32_t date = DayOf(conflict);
            row.Caption = DateText(date) + u" ("_qs + file + u")"_qs;
            const TDataInfo& ours = form_.ScrapList().FindByDate(date);
            const std::optional<TDataInfo> theirs = TheirDay(conflict);
            row.Ours = ours.Date != 0 || form_.ScrapList().DatePart(1) == DecodeDate(date).Year
                           ? DayText(&ours)
                           : u"(%1 年のファイルにあります)"_qs.arg(DecodeDate(date).Year);
            row.Theirs = DayText(theirs ? &*theirs : nullptr);
        } else {
            TNoteList& list = file.endsWith(u".tdo"_qs) ? form_.TodoList() : form_.MemoryList();
            row.Caption = u"「"_qs + FromCp932(conflict.Key) + u"」 ("_qs + file + u")"_qs;
            const TNoteRec* ours = NoteTitled(list, conflict.Key);
            row.Ours = ours ? FromCp932(ours->Title) : u"(削除されています)"_qs;
            const std::optional<TNoteRec> theirs =
                conflict.Theirs ? ParseNoteLine(*conflict.Theirs) : std::nullopt;
            row.Theirs = theirs ? FromCp932(theirs->Title) : u"(削除されています)"_qs;
            if (ours)
                row.Ours += u"\n"_qs + FromCp932(NoteLine(*ours));
            if (theirs)
                row.Theirs += u"\n"_qs + FromCp932(NoteLine(*theirs));
        }
        rows.push_back(row);
    }
    return rows;
}

void TDiaryWatch::ShowConflicts() {
    if (pending_.empty()) {
        if (dialog_)
            dialog_->accept();
        return;
    }
    if (!dialog_) {
        dialog_ = new TConflictDialog(&form_);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog_, &TConflictDialog::Chosen, this, &TDiaryWatch::Choose);
    }
    dialog_->SetRows(Rows());
    dialog_->show();
    dialog_->raise();
}

QString TDiaryWatch::Divider(const TPendingConflict& conflict) const {
    const QString time =
        QDateTime::fromSecsSinceEpoch(conflict.Time).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    return u"──── 別のコンピューターの版 (%1, %2) ────"_qs.arg(FromCp932(conflict.Source), time);
}

void TDiaryWatch::Choose(int index, TConflictChoice choice) {
    if (index < 0 || index >= static_cast<int>(pending_.size()))
        return;
    const TPendingConflict conflict = pending_[static_cast<size_t>(index)];
    if (IsYearConflict(conflict))
        ChooseDay(conflict, choice);
    else
        ChooseNote(conflict, choice);
    pending_.erase(pending_.begin() + index);
    try {
        SavePendingConflicts(stateDir_, pending_);
    } catch (const VelmoraError& e) {
        ShowUserMessage(&form_, FromCp932(e.what()));
    }
    ShowConflicts();
}

void TDiaryWatch::ChooseDay(const TPendingConflict& conflict, TConflictChoice choice) {
    const int32_t date = DayOf(conflict);
    if (choice == TConflictChoice::Ours || date == 0)
        return;
    // The page of the day is shown, and so its year loaded, before it changes.
    form_.Writes().WriteAfter([this, date] { form_.Diary1().SetCalendarDate(date); });
    TScrapList& store = form_.ScrapList();
    if (store.CurrentDate() != date)
        return;
    const std::optional<TDataInfo> theirs = TheirDay(conflict);
    TDataInfo ours = form_.Page().PageRecord(date);
    form_.Writes().WriteAfter([&] {
        if (choice == TConflictChoice::Theirs) {
            // This computer's version stays in the backup beside the file.
            store.KeepBeforeSave();
            if (theirs)
                store.PutRecord(*theirs);
            else
                store.DeleteByDate(date);
        } else if (theirs) {
            store.PutRecord(BothDays(ours, *theirs, Divider(conflict)));
        }
        form_.Page().UndoActionExecute();
    });
    form_.Diary1().update();
}

void TDiaryWatch::ChooseNote(const TPendingConflict& conflict, TConflictChoice choice) {
    if (choice == TConflictChoice::Ours)
        return;
    TNoteList& list = conflict.File.ends_with(".tdo") ? form_.TodoList() : form_.MemoryList();
    const std::optional<TNoteRec> theirs =
        conflict.Theirs ? ParseNoteLine(*conflict.Theirs) : std::nullopt;
    TNoteRec* ours = NoteTitled(list, conflict.Key);
    if (choice == TConflictChoice::Theirs && ours) {
        if (theirs)
            *ours = *theirs;
        else
            list.DeleteNote(ours);
    } else if (theirs) {
        list.AddNote(*theirs);
        list.SortByRule();
    }
    list.SetModified(true);
    form_.Writes().WriteAll();
    form_.Writes().UpdateSaveState();
    notesMerged_ = true;
    Follow();
}
