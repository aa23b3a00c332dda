#include "sync/PendingConflicts.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "notes/NoteList.h"
#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/MachineState.h"
#include "storage/SafeWrite.h"
#include "storage/TextReader.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"
#include "sync/ConflictCopies.h"

namespace {

constexpr const char* kFileName = "conflicts";

// A record's line without its line end.
std::string LineOf(const TDataInfo& rec) {
    std::string line = YearFileText({&rec});
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

int64_t FileTime(const TFileStamp& stamp) {
    return stamp.ModifiedSeconds;
}

}  // namespace

TPendingConflict PendingDay(const std::string& file, const std::string& source, int64_t time,
                            const TDayConflict& conflict) {
    TPendingConflict pending{file, std::to_string(conflict.Date), source, time, std::nullopt};
    if (conflict.Theirs)
        pending.Theirs = LineOf(*conflict.Theirs);
    return pending;
}

TPendingConflict PendingNote(const std::string& file, const std::string& source, int64_t time,
                             const TNoteConflict& conflict) {
    const TNoteRec& either = conflict.Ours ? *conflict.Ours : *conflict.Theirs;
    TPendingConflict pending{file, either.Title, source, time, std::nullopt};
    if (conflict.Theirs)
        pending.Theirs = NoteLine(*conflict.Theirs);
    return pending;
}

bool IsYearConflict(const TPendingConflict& conflict) {
    return conflict.File.ends_with(".dat");
}

void AddPendingConflicts(std::vector<TPendingConflict>& list,
                         const std::vector<TPendingConflict>& added) {
    for (const TPendingConflict& conflict : added) {
        std::erase_if(list, [&conflict](const TPendingConflict& held) {
            return held.File == conflict.File && held.Key == conflict.Key;
        });
        list.push_back(conflict);
    }
}

std::string PendingConflictsText(const std::vector<TPendingConflict>& list) {
    std::string text;
    for (const TPendingConflict& conflict : list) {
        text += ValuesToLine({conflict.File, conflict.Key, conflict.Source, conflict.Time,
                              conflict.Theirs.has_value(), conflict.Theirs.value_or("")});
        text += "\r\n";
    }
    return text;
}

std::vector<TPendingConflict> ParsePendingConflicts(const std::string& text) {
    std::vector<TPendingConflict> list;
    TTextReader reader(text);
    TCommaFile line;
    while (line.ReadLine(reader)) {
        TPendingConflict conflict;
        conflict.File = line.GetText();
        conflict.Key = line.GetText();
        conflict.Source = line.GetText();
        const std::optional<int64_t> time = ParseInteger(line.GetField());
        const std::string kept = line.GetField();
        std::string theirs = line.GetText();
        if (conflict.File.empty() || conflict.Key.empty() || !time || line.FieldCut() ||
            (kept != "0" && kept != "1"))
            continue;
        conflict.Time = *time;
        if (kept == "1")
            conflict.Theirs = std::move(theirs);
        list.push_back(std::move(conflict));
    }
    return list;
}

std::vector<TPendingConflict> LoadPendingConflicts(const std::string& stateDir) {
    std::string text;
    if (stateDir.empty() || !ReadWholeFile(stateDir + "/" + kFileName, text))
        return {};
    return ParsePendingConflicts(text);
}

void SavePendingConflicts(const std::string& stateDir, const std::vector<TPendingConflict>& list) {
    if (stateDir.empty())
        return;
    const std::string path = stateDir + "/" + kFileName;
    if (list.empty()) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return;
    }
    if (!PrivateFolder(stateDir + "/"))
        throw VelmoraError(FormatMessage(Sjis("フォルダ %s に書込めません"), stateDir));
    SafeWritePrivateFile(path, PendingConflictsText(list));
}

void KeepCopyConflicts(const std::string& stateDir, const TConflictCopiesOutcome& outcome) {
    std::vector<TPendingConflict> added;
    for (const TConflictCopy& copy : outcome.Copies) {
        const int64_t time = FileTime(FileStampOf(copy.MovedTo));
        for (const TDayConflict& day : copy.Days)
            added.push_back(PendingDay(copy.Found.Original, copy.Name, time, day));
        for (const TNoteConflict& note : copy.Notes)
            added.push_back(PendingNote(copy.Found.Original, copy.Name, time, note));
    }
    if (added.empty())
        return;
    std::vector<TPendingConflict> list = LoadPendingConflicts(stateDir);
    AddPendingConflicts(list, added);
    try {
        SavePendingConflicts(stateDir, list);
    } catch (const VelmoraError&) {
        // The other versions stay in the copies moved into the backup folder, which the start's
        // message names.
    }
}
