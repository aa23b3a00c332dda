#include "sync/ConflictCopies.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "notes/NoteList.h"
#include "storage/Cp932.h"
#include "storage/DailyBackup.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"

namespace fs = std::filesystem;

namespace {

// How many conflicting days or notes a message names.
constexpr size_t kMaxListed = 10;

enum class TFileKind { None, Year, Notes, Settings };

TFileKind KindOf(const std::string& name, const std::string& baseName) {
    if (name.size() == 8 && name.ends_with(".dat") &&
        std::all_of(name.begin(), name.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
        return TFileKind::Year;
    if (name == baseName + ".mem" || name == baseName + ".tdo")
        return TFileKind::Notes;
    if (name == baseName + ".ini")
        return TFileKind::Settings;
    return TFileKind::None;
}

std::string DateText(int32_t date) {
    const TYmd ymd = DecodeDate(date);
    char text[16];
    std::snprintf(text, sizeof text, "%d/%02d/%02d", ymd.Year, ymd.Month, ymd.Day);
    return text;
}

// The base a copy is merged against. A copy is a version written at the same time as this
// computer's, and this computer's base follows its own saves: a day it saved since the other
// computer last saw the file reads as unchanged here. So only a day the copy holds in a version
// this computer has gone past (Superseded; the base where no versions are known) is this
// computer's to keep; every other day the two hold differently is a conflict, and a day only one
// of them holds is kept.
TMergeBase CopyBase(const std::string& stateDir, const std::string& name, const TMergeBase& copy) {
    const TMergeBase base = LoadMergeBase(stateDir, name);
    const TMergeSeen seen = LoadMergeSeen(stateDir, name);
    TMergeBase kept;
    for (const auto& [key, digest] : copy) {
        const auto found = base.find(key);
        const bool asBase = found != base.end() && found->second == digest;
        if (seen.contains(key) ? Superseded(seen, key, digest) : asBase)
            kept.emplace(key, digest);
    }
    return kept;
}

// The conflicts a user has to settle: both versions hold the item.
template <typename T>
void KeepTwoSided(std::vector<T>& conflicts) {
    std::erase_if(conflicts, [](const T& conflict) { return !conflict.Ours || !conflict.Theirs; });
}

bool Newer(const TFileStamp& a, const TFileStamp& b) {
    return std::tie(a.ModifiedSeconds, a.ModifiedNanoseconds) >
           std::tie(b.ModifiedSeconds, b.ModifiedNanoseconds);
}

void MergeYearCopy(const std::string& dir, const std::string& original, const std::string& stateDir,
                   TConflictCopy& copy) {
    const TYearFileRead ours = ReadYearFile(original);
    const TYearFileRead theirs = ReadYearFile((fs::path(dir) / copy.Name).string());
    if (!ours.Error.empty() || !theirs.Error.empty() || !ours.Text.ReadWhole() ||
        !theirs.Text.ReadWhole()) {
        copy.Problem = Sjis("読めない行があるため、取り込まずにそのままにしました。");
        return;
    }
    const std::string name = copy.Found.Original;
    const TYearMerge merge = MergeYear(CopyBase(stateDir, name, YearMergeBase(theirs.Text.Records)),
                                       ours.Text.Records, theirs.Text.Records);
    if (!merge.ChangedDays.empty()) {
        // The rewrite is CP932: a file an editor saved as UTF-8 is kept as it was, as the day
        // store keeps it before its first save.
        if (ours.ReadAsUtf8)
            KeepBackup(original);
        std::vector<const TDataInfo*> records;
        for (const TDataInfo& rec : merge.Records)
            records.push_back(&rec);
        SafeWriteFile(original, YearFileText(records));
    }
    RememberMergeBase(stateDir, name, YearMergeBase(merge.Records));
    copy.Days = merge.Conflicts;
    KeepTwoSided(copy.Days);
    copy.Taken = static_cast<int>(merge.ChangedDays.size());
}

std::vector<TNoteRec> NotesOf(const TNoteList& list) {
    std::vector<TNoteRec> notes;
    for (int i = 0; i < list.Count(); ++i)
        notes.push_back(*list.Items(i));
    return notes;
}

void MergeNoteCopy(const std::string& dir, const std::string& original, const std::string& stateDir,
                   TConflictCopy& copy) {
    TNoteList ours;
    TNoteList theirs;
    ours.LoadFromFile(original);
    theirs.LoadFromFile((fs::path(dir) / copy.Name).string());
    const std::string name = copy.Found.Original;
    const TNoteMerge merge = MergeNotes(CopyBase(stateDir, name, NoteMergeBase(NotesOf(theirs))),
                                        NotesOf(ours), NotesOf(theirs));
    if (merge.TakenFromTheirs > 0) {
        ours.Clear();
        for (const TNoteRec& note : merge.Notes)
            ours.AddNote(note);
        ours.SaveToFile();
    }
    RememberMergeBase(stateDir, name, NoteMergeBase(merge.Notes));
    copy.Notes = merge.Conflicts;
    KeepTwoSided(copy.Notes);
    copy.Taken = merge.TakenFromTheirs;
}

// The newer of the two takes the settings file's name; the other is kept in the backup.
void TakeNewerSettings(const std::string& dir, const std::string& original,
                       const std::string& conflicts, TConflictCopy& copy) {
    const std::string copyPath = (fs::path(dir) / copy.Name).string();
    const TFileStamp copyStamp = FileStampOf(copyPath);
    const TFileStamp ownStamp = FileStampOf(original);
    if (ownStamp.Exists && !Newer(copyStamp, ownStamp))
        return;
    std::string copied;
    if (!ReadWholeFile(copyPath, copied))
        throw VelmoraError(FormatMessage(Sjis("ファイル %s は開けません"), copyPath));
    if (ownStamp.Exists) {
        std::string own;
        if (!ReadWholeFile(original, own))
            throw VelmoraError(FormatMessage(Sjis("ファイル %s は開けません"), original));
        // Kept under the copy's name with ".replaced", next to the copy it gave way to.
        const std::string kept = (fs::path(dir) / (copy.Name + ".replaced")).string();
        SafeWriteCopy(kept, own, original, ownStamp);
        copy.KeptAs = MoveIntoBackup(dir, conflicts, kept, copy.Found.Original + ".replaced");
        if (copy.KeptAs.empty()) {
            std::error_code ignored;
            fs::remove(kept, ignored);
            throw VelmoraError(FormatMessage(Sjis("%s に移せません"), conflicts));
        }
    }
    SafeWriteFile(original, copied);
    copy.SettingsTaken = true;
}

std::string Describe(const TConflictCopy& copy, TFileKind kind) {
    std::string text = copy.Name + Sjis(" → ") + copy.Found.Original + Sjis(": ");
    if (!copy.Problem.empty())
        return text + copy.Problem;
    switch (kind) {
        case TFileKind::Year:
            text += Sjis("相手の版から ") + std::to_string(copy.Taken) +
                    Sjis(" 日分を取り込みました。");
            break;
        case TFileKind::Notes:
            text +=
                Sjis("相手の版から ") + std::to_string(copy.Taken) + Sjis(" 件を取り込みました。");
            break;
        case TFileKind::Settings:
            text += copy.SettingsTaken
                        ? Sjis("こちらより新しいため、この内容を設定にしました。元の設定は ") +
                              copy.KeptAs + Sjis(" に残してあります。")
                        : Sjis("こちらの設定の方が新しいため、そのまま使います。");
            break;
        case TFileKind::None:
            break;
    }
    if (!copy.Days.empty() || !copy.Notes.empty()) {
        text += Sjis("\r\n  両方で違うように書き換えられていたため、こちらの版を残したもの:");
        size_t listed = 0;
        for (const TDayConflict& day : copy.Days) {
            if (listed++ == kMaxListed)
                break;
            text += " " + DateText(day.Date);
        }
        for (const TNoteConflict& note : copy.Notes) {
            if (listed++ == kMaxListed)
                break;
            text += Sjis(" 「") + (note.Ours ? note.Ours : note.Theirs)->Title + Sjis("」");
        }
        if (listed > kMaxListed)
            text += " ...";
        text += Sjis("\r\n  相手の版は ") + copy.MovedTo + Sjis(" にあります。");
    }
    return text;
}

}  // namespace

bool HoldsConflictCopies(const std::string& dir, const std::string& baseName) {
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::optional<TConflictName> found =
            ParseConflictName(it->path().filename().string());
        if (found && KindOf(found->Original, baseName) != TFileKind::None)
            return true;
    }
    return false;
}

TConflictCopiesOutcome MergeConflictCopies(const std::string& dir, const std::string& baseName,
                                           const std::string& stateDir, const std::string& host) {
    TConflictCopiesOutcome outcome;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (it->symlink_status(statusError).type() == fs::file_type::regular)
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());

    const std::string conflicts = host + "/conflicts";
    std::string lines;
    for (const std::string& name : names) {
        const std::optional<TConflictName> found = ParseConflictName(name);
        if (!found)
            continue;
        const TFileKind kind = KindOf(found->Original, baseName);
        if (kind == TFileKind::None)
            continue;
        TConflictCopy copy;
        copy.Name = name;
        copy.Found = *found;
        const std::string original = (fs::path(dir) / found->Original).string();
        try {
            if (kind == TFileKind::Year)
                MergeYearCopy(dir, original, stateDir, copy);
            else if (kind == TFileKind::Notes)
                MergeNoteCopy(dir, original, stateDir, copy);
            else
                TakeNewerSettings(dir, original, conflicts, copy);
        } catch (const VelmoraError& e) {
            copy.Problem = e.what();
        }
        if (copy.Problem.empty()) {
            copy.MovedTo = MoveIntoBackup(dir, conflicts, (fs::path(dir) / name).string(), name);
            if (copy.MovedTo.empty())
                copy.Problem = FormatMessage(Sjis("取り込みましたが、%s に移せませんでした。"),
                                             (fs::path(dir) / "backup" / conflicts).string());
        }
        lines += "\r\n" + Describe(copy, kind);
        outcome.Copies.push_back(std::move(copy));
    }
    if (!outcome.Copies.empty())
        outcome.Message =
            Sjis("同期サービスが残した競合ファイルがありました。取り込んだものは消さずに ") +
            (fs::path(dir) / "backup" / conflicts).string() + Sjis(" に移してあります。") + lines;
    return outcome;
}
