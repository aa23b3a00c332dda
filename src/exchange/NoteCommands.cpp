#include "exchange/NoteCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <memory>

#include "bridge/TextCodec.h"
#include "exchange/ImportLock.h"
#include "exchange/NotesIcal.h"
#include "notes/NoteList.h"
#include "storage/Clock.h"
#include "storage/DailyBackup.h"
#include "storage/DiaryPlace.h"
#include "storage/MachineState.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

namespace {

std::string Local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The base name of the diary's files in folder: the window's ("Velmora" for an installed
// program, whatever its executable is called).
std::string BaseName(const QString& folder) {
    return ChooseDiaryPlaces(ReadPlaceFacts(Local(QCoreApplication::applicationFilePath()),
                                            Local(QDir(folder).absolutePath())))
        .BaseName;
}

std::string NotePath(const QString& folder, const char* extension) {
    return Local(QDir(folder).filePath(QString::fromStdString(BaseName(folder)) + extension));
}

std::vector<TNoteRec> Notes(const TNoteList& list) {
    std::vector<TNoteRec> notes;
    for (int i = 0; i < list.Count(); ++i)
        notes.push_back(*list.Items(i));
    return notes;
}

void ListTitles(QTextStream& out, const QString& heading, const std::vector<std::string>& titles) {
    if (titles.empty())
        return;
    out << heading << Qt::endl;
    for (const std::string& title : titles)
        out << "  " << FromCp932(title) << Qt::endl;
}

}  // namespace

int ExportNotes(const QString& folder, const QString&, const QString& output, QDate, QDate, bool,
                QTextStream& err) {
    TNoteList reminders;
    TNoteList anniversaries;
    try {
        reminders.LoadFromFile(NotePath(folder, ".tdo"));
        anniversaries.LoadFromFile(NotePath(folder, ".mem"));
        const TIcalExport ics = NotesToIcal(Notes(reminders), Notes(anniversaries), Today());
        SafeWriteFile(Local(output), ics.Text);
        QTextStream out(stdout);
        out << QStringLiteral("備忘録 %1 件、記念日 %2 件を %3 に書き出しました。")
                   .arg(ics.Reminders)
                   .arg(ics.Anniversaries)
                   .arg(output)
            << Qt::endl;
        ListTitles(
            out,
            QStringLiteral(
                "次の繰返しは iCalendar の規則で表せないため、%1 年分の日付で書き出しました:")
                .arg(kDateYears),
            ics.AsDates);
        ListTitles(err, QStringLiteral("次の項目は当たる日がないため書き出していません:"),
                   ics.Left);
    } catch (const VelmoraError& e) {
        err << FromCp932(e.what()) << Qt::endl;
        return 1;
    }
    return 0;
}

int ImportNotes(const QString& folder, const QString&, const QString& path, QTextStream& err) {
    std::string text;
    try {
        if (!ReadFileIfExists(Local(path), text)) {
            err << QStringLiteral("ファイル %1 がありません。").arg(path) << Qt::endl;
            return 1;
        }
    } catch (const VelmoraError& e) {
        err << FromCp932(e.what()) << Qt::endl;
        return 1;
    }
    const TIcalImport ics = IcalToNotes(text);
    if (!ics.Error.empty()) {
        err << path << ": " << FromCp932(ics.Error) << Qt::endl;
        return 1;
    }

    std::unique_ptr<QLockFile> lock;
    if (!HoldForImport(folder, lock, err))
        return 1;

    const std::string dir = Local(folder);
    TNoteList reminders;
    TNoteList anniversaries;
    reminders.SetStateDir(StateFolder(dir));
    anniversaries.SetStateDir(StateFolder(dir));
    try {
        reminders.LoadFromFile(NotePath(folder, ".tdo"));
        anniversaries.LoadFromFile(NotePath(folder, ".mem"));
        const std::vector<TNoteRec> newReminders = NewNotes(Notes(reminders), ics.Reminders);
        const std::vector<TNoteRec> newAnniversaries =
            NewNotes(Notes(anniversaries), ics.Anniversaries);
        QTextStream out(stdout);
        if (!newReminders.empty() || !newAnniversaries.empty()) {
            const TBackupOutcome backup = BackUpDiary(dir, BaseName(folder), Today());
            if (!backup.Problem.empty()) {
                err << FromCp932(backup.Problem) << Qt::endl
                    << QStringLiteral("控えが取れないため、取り込んでいません。") << Qt::endl;
                return 1;
            }
            for (const TNoteRec& note : newReminders)
                reminders.AddNote(note);
            for (const TNoteRec& note : newAnniversaries)
                anniversaries.AddNote(note);
            reminders.SortByRule();
            anniversaries.SortByRule();
            if (!newReminders.empty())
                reminders.Save();
            if (!newAnniversaries.empty())
                anniversaries.Save();
        }
        out << QStringLiteral(
                   "備忘録 %1 件、記念日 %2 件を取り込みました（すでにあるもの %3 件）。")
                   .arg(newReminders.size())
                   .arg(newAnniversaries.size())
                   .arg(ics.Reminders.size() + ics.Anniversaries.size() - newReminders.size() -
                        newAnniversaries.size())
            << Qt::endl;
        ListTitles(out, QStringLiteral("次の予定は取り込んでいません:"), ics.Skipped);
    } catch (const VelmoraError& e) {
        err << FromCp932(e.what()) << Qt::endl;
        return 1;
    }
    return 0;
}
