#include "storage/Rescue.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/MachineState.h"
#include "storage/SafeWrite.h"
#include "storage/TextReader.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"

namespace {

constexpr const char* kMark = "VelmoraRescue";
constexpr int32_t kVersion = 1;
constexpr const char* kExtension = ".rescue";

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Paths and whole files go as hexadecimal digits, so that every byte comes back as it was.
std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto value = static_cast<unsigned char>(c);
        text.push_back(kDigits[value >> 4]);
        text.push_back(kDigits[value & 15]);
    }
    return text;
}

std::optional<std::string> FromHex(const std::string& text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const auto digit = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        };
        const int high = digit(text[i]);
        const int low = digit(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

void AddRecord(std::vector<TFieldValue>& fields, const TDataInfo& rec) {
    for (TFieldValue value :
         {TFieldValue(rec.Date), TFieldValue(rec.Weather), TFieldValue(rec.Extra),
          TFieldValue(rec.Title), TFieldValue(rec.Text.Text()), TFieldValue(rec.RichText.Text()),
          TFieldValue(rec.Private), TFieldValue(rec.News)})
        fields.push_back(std::move(value));
}

TDataInfo ReadRecord(TCommaFile& line) {
    TDataInfo rec;
    rec.Date = line.GetInteger();
    rec.Weather = line.GetInteger();
    rec.Extra = line.GetText();
    rec.Title = line.GetText();
    rec.Text = line.GetText();
    rec.RichText = line.GetText();
    rec.Private = line.GetText();
    rec.News = line.GetText();
    return rec;
}

std::string Line(const std::vector<TFieldValue>& fields) {
    return ValuesToLine(fields) + "\r\n";
}

// path, or path with 2, 3, ... after it: the first name nothing is at.
std::string FreeName(const std::string& path) {
    std::string name = path;
    for (int n = 2; ::access(name.c_str(), F_OK) == 0; ++n)
        name = path + std::to_string(n);
    return name;
}

std::string RescueFileName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return std::string(stamp) + "-" + std::to_string(::getpid()) + kExtension;
}

std::string Utf8Text(const std::string& cp932) {
    std::string text = Cp932ToUtf8(cp932);
    std::erase(text, '\r');
    return text;
}

// Puts the rescued days of one year file back; the ones that cannot go back are returned.
std::vector<TDataInfo> RestoreYear(const std::string& path, const std::vector<TRescuedDay>& days,
                                   TRestoreResult& result) {
    const TYearFileRead disk = ReadYearFile(path);
    // A file that does not read whole would lose what was not read if written.
    const bool whole = disk.Error.empty() && !disk.ReadAsUtf8 && disk.Text.BadLines.empty() &&
                       !disk.Text.LinesASaveWouldLose;
    std::map<int32_t, TDataInfo> onDisk;
    for (const TDataInfo& rec : disk.Text.Records)
        onDisk[rec.Date] = rec;
    std::vector<TDataInfo> aside;
    bool changed = false;
    for (const TRescuedDay& day : days) {
        const int32_t date = day.Page.Date != 0 ? day.Page.Date : day.Base.Date;
        const auto found = onDisk.find(date);
        const TDataInfo& now = found == onDisk.end() ? EmptyDataInfo : found->second;
        if (now == day.Page)
            continue;
        if (whole && ((day.BaseKnown && now == day.Base) || now.Date == 0)) {
            if (day.Page.Date == 0)
                onDisk.erase(date);
            else
                onDisk[date] = day.Page;
            changed = true;
            ++result.Restored;
        } else if (day.Page.Date != 0) {
            // A deletion of a page changed since needs nothing kept: the page stays.
            aside.push_back(day.Page);
            result.KeptAside.push_back(date);
        }
    }
    if (changed) {
        std::vector<const TDataInfo*> records;
        for (const auto& [date, rec] : onDisk)
            records.push_back(&rec);
        SafeWriteFile(path, YearFileText(records));
    }
    return aside;
}

void KeepAside(const std::string& path, const std::string& contents, TRestoreResult& result) {
    const std::string aside = FreeName(path + ".rescued");
    SafeWritePrivateFile(aside, contents);
    result.AsideFiles.push_back(aside);
}

}  // namespace

TRescue RescueOf(const std::string& folder, const TUnwrittenFiles& years,
                 const TUnwrittenFiles& notes) {
    TRescue rescue;
    rescue.Folder = folder;
    for (const auto& [path, contents] : years) {
        const TYearFileRead disk = ReadYearFile(path);
        const bool known = disk.Error.empty();
        std::map<int32_t, TDataInfo> onDisk;
        for (const TDataInfo& rec : disk.Text.Records)
            onDisk[rec.Date] = rec;
        for (TDataInfo& page : ParseYearFile(contents).Records) {
            const auto found = onDisk.find(page.Date);
            TDataInfo base = found == onDisk.end() ? EmptyDataInfo : found->second;
            if (found != onDisk.end())
                onDisk.erase(found);
            if (known && base == page)
                continue;
            rescue.Days.push_back({NameOf(path), known, std::move(base), std::move(page)});
        }
        // What is left on disk was deleted from the store.
        for (auto& [date, rec] : onDisk)
            rescue.Days.push_back({NameOf(path), known, std::move(rec), EmptyDataInfo});
    }
    for (const auto& [path, contents] : notes) {
        TRescuedFile file{NameOf(path), true, {}, contents};
        try {
            ReadFileIfExists(path, file.Base);
        } catch (const VelmoraError&) {
            file.BaseKnown = false;
        }
        if (!file.BaseKnown || file.Base != file.Page)
            rescue.Files.push_back(std::move(file));
    }
    return rescue;
}

std::string RescueText(const TRescue& rescue) {
    std::string text = Line({kMark, kVersion, Hex(rescue.Folder)});
    for (const TRescuedDay& day : rescue.Days) {
        std::vector<TFieldValue> fields = {"D", day.YearFile, day.BaseKnown};
        AddRecord(fields, day.Base);
        AddRecord(fields, day.Page);
        text += Line(fields);
    }
    for (const TRescuedFile& file : rescue.Files)
        text += Line({"F", file.Name, file.BaseKnown, Hex(file.Base), Hex(file.Page)});
    return text + Line({"END"});
}

std::optional<TRescue> ParseRescue(std::string text) {
    TTextReader reader(std::move(text));
    TCommaFile line;
    if (!line.ReadLine(reader) || line.GetText() != kMark)
        return std::nullopt;
    TRescue rescue;
    try {
        if (line.GetInteger() != kVersion)
            return std::nullopt;
        const std::optional<std::string> folder = FromHex(line.GetField());
        if (!folder || folder->empty())
            return std::nullopt;
        rescue.Folder = *folder;
        while (line.ReadLine(reader)) {
            const std::string kind = line.GetText();
            if (kind == "END")
                return rescue;
            const std::string name = line.GetText();
            // A name is a file of the diary folder, never a way out of it.
            if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
                return std::nullopt;
            const bool known = line.GetInteger() != 0;
            if (kind == "D") {
                TDataInfo base = ReadRecord(line);
                TDataInfo page = ReadRecord(line);
                if (base.Date == 0 && page.Date == 0)
                    return std::nullopt;
                rescue.Days.push_back({name, known, std::move(base), std::move(page)});
            } else if (kind == "F") {
                std::optional<std::string> base = FromHex(line.GetField());
                std::optional<std::string> page = FromHex(line.GetField());
                if (!base || !page)
                    return std::nullopt;
                rescue.Files.push_back({name, known, std::move(*base), std::move(*page)});
            } else {
                return std::nullopt;
            }
        }
    } catch (const VelmoraError&) {
        return std::nullopt;
    }
    // A file that stops before its end mark was not written whole.
    return std::nullopt;
}

std::string RescueReadable(const TRescue& rescue) {
    std::string text = "Velmora: 保存できなかった日記 (" + rescue.Folder + ")\n";
    for (const TRescuedDay& day : rescue.Days) {
        const TYmd ymd = DecodeDate(day.Page.Date != 0 ? day.Page.Date : day.Base.Date);
        text += "== " + std::to_string(ymd.Year) + "年" + std::to_string(ymd.Month) + "月" +
                std::to_string(ymd.Day) + "日";
        if (day.Page.Date == 0) {
            text += " (削除) ==\n";
            continue;
        }
        text += " ==\n";
        for (const auto& [label, field] :
             {std::pair{"ひと言", &day.Page.Title}, std::pair{"本文", &day.Page.Text.Text()},
              std::pair{"ニュース", &day.Page.News}, std::pair{"メモ", &day.Page.Private}})
            if (!field->empty())
                text += std::string(label) + ":\n" + Utf8Text(*field) + "\n";
    }
    for (const TRescuedFile& file : rescue.Files)
        text += "== " + file.Name + " ==\n" + Utf8Text(file.Page) + "\n";
    return text;
}

std::vector<std::string> RescueFolders() {
    std::vector<std::string> folders;
    if (const std::string state = VelmoraStateFolder(); !state.empty())
        folders.push_back(state + "/rescue/");
    folders.push_back("/var/tmp/Velmora-rescue-" + std::to_string(::geteuid()) + "/");
    return folders;
}

std::string WriteRescue(const TRescue& rescue, const std::vector<std::string>& folders) {
    const std::string text = RescueText(rescue);
    const std::string name = RescueFileName();
    for (const std::string& folder : folders) {
        if (!PrivateFolder(folder))
            continue;
        const std::string path = FreeName(folder + name);
        try {
            SafeWritePrivateFile(path, text);
            return path;
        } catch (const VelmoraError&) {
            // The next place may be on another disk.
        }
    }
    return {};
}

std::vector<std::string> FindRescues(const std::string& folder,
                                     const std::vector<std::string>& folders) {
    std::vector<std::string> found;
    for (const std::string& dir : folders) {
        // A rescue is taken back only from a folder no one else could have written into.
        mode_t mode = 0;
        if (!OwnFolder(dir, mode) || (mode & 022) != 0)
            continue;
        DIR* entries = ::opendir(dir.c_str());
        if (!entries)
            continue;
        while (const dirent* entry = ::readdir(entries)) {
            const std::string name = entry->d_name;
            if (!name.ends_with(kExtension))
                continue;
            std::string text;
            const std::string path = dir + name;
            if (!ReadWholeFile(path, text))
                continue;
            const std::optional<TRescue> rescue = ParseRescue(std::move(text));
            if (rescue && rescue->Folder == folder)
                found.push_back(path);
        }
        ::closedir(entries);
    }
    // The names begin with the time they were written.
    std::sort(found.begin(), found.end(),
              [](const std::string& a, const std::string& b) { return NameOf(a) < NameOf(b); });
    return found;
}

TRestoreResult RestoreRescue(const std::string& path) {
    TRestoreResult result;
    std::string text;
    std::optional<TRescue> rescue;
    if (ReadWholeFile(path, text))
        rescue = ParseRescue(std::move(text));
    if (!rescue) {
        result.Error = FormatMessage(Sjis("ファイル %s は開けません"), path);
        return result;
    }
    std::map<std::string, std::vector<TRescuedDay>> years;
    for (const TRescuedDay& day : rescue->Days)
        years[day.YearFile].push_back(day);
    try {
        for (const auto& [name, days] : years) {
            const std::string yearPath = rescue->Folder + name;
            std::vector<TDataInfo> aside = RestoreYear(yearPath, days, result);
            if (aside.empty())
                continue;
            std::vector<const TDataInfo*> records;
            for (const TDataInfo& rec : aside)
                records.push_back(&rec);
            KeepAside(yearPath, YearFileText(records), result);
        }
        for (const TRescuedFile& file : rescue->Files) {
            const std::string filePath = rescue->Folder + file.Name;
            std::string now;
            bool readable = true;
            try {
                ReadFileIfExists(filePath, now);
            } catch (const VelmoraError&) {
                readable = false;
            }
            if (readable && now == file.Page)
                continue;
            if (readable && ((file.BaseKnown && now == file.Base) || now.empty())) {
                SafeWriteFile(filePath, file.Page);
                ++result.Restored;
            } else {
                KeepAside(filePath, file.Page, result);
            }
        }
    } catch (const VelmoraError& e) {
        result.Error = e.what();
        return result;
    }
    ::unlink(path.c_str());
    return result;
}
