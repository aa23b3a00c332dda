#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every file Velmora writes goes through here, so that a crash, a full disk or a refused write
// never destroys what was on disk. Every failure message names the system's reason
// (" (許可がありません)"), which the thrown VelmoraError also carries as its Reason().

// Replaces the file at path by contents: the bytes go to a new file beside it (a temporary, see
// TemporaryOwner), every write is checked, the file is flushed to disk and only then renamed
// over the old one, with the old one's access mode (a new file gets the mode a plain create
// would give). When path is a symbolic link, the file it leads to is replaced and the link
// stays. On any failure the old file is left as it was, the new one is removed, and
// VelmoraError is thrown with "ファイル %s は開けません" (the new file cannot be created) or
// "ファイル %s に書込めません" (a write, the flush or the rename failed), the path in place of
// %s, and the reason.
void SafeWriteFile(const std::string& path, std::string_view contents);

// SafeWriteFile for a file that only its owner may read and write (mode 0600), whatever mode a
// file at path had: for copies of a private diary kept outside its folder.
void SafeWritePrivateFile(const std::string& path, std::string_view contents);

struct TFileStamp;

// SafeWriteFile for a copy of the file at original: the file at path gets original's access mode,
// so a copy of a private file is as private as the file, and the modification time of read, the
// stamp original had before contents were read from it, so that a later stamp of original that
// differs in size or time from the copy's tells a change without reading either file.
void SafeWriteCopy(const std::string& path, std::string_view contents, const std::string& original,
                   const TFileStamp& read);

// The temporary that SafeWriteFile writes before renaming it over "2026.dat" is
// ".2026.dat.velmora-tmp-" and six random letters or digits: hidden, and marked as the program's
// so that no file a person keeps is ever taken for one. For such a name the name of the file it
// was to replace ("2026.dat"); "" for any other name.
std::string TemporaryOwner(std::string_view name);

// Keeps a copy of the file at path, as it is now, under the first free name of path + ".bak",
// ".bak2", ".bak3" and so on, so no earlier copy is ever overwritten; the copy has the file's
// access mode. Returns the copy's path.
// Throws VelmoraError, as SafeWriteFile does, when the copy cannot be made.
std::string KeepBackup(const std::string& path);

// The whole file as bytes; false when it does not exist or cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// For loaders: the whole file as bytes, or false when nothing is at path. Throws VelmoraError
// "ファイル %s は開けません" with the reason when something is there that cannot be read as a
// file (a folder, a file without read permission).
bool ReadFileIfExists(const std::string& path, std::string& contents);

bool FileExists(const std::string& path);

// What identifies the contents of a file as a loader saw them: a later stamp that differs means
// another program changed, replaced, created or removed the file meanwhile.
struct TFileStamp {
    bool Exists = false;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    int64_t Size = 0;
    int64_t ModifiedSeconds = 0;
    int64_t ModifiedNanoseconds = 0;

    bool operator==(const TFileStamp&) const = default;
};

// The stamp of the file at path now (of the file a symbolic link leads to).
TFileStamp FileStampOf(const std::string& path);

// Before writing over path: when the file there is not the one last read or written (seen), it
// is kept under a backup name (KeepBackup) and that is reported once through ReportMessage, so
// another program's version is never overwritten unseen. Returns whether a copy was made.
// Throws as KeepBackup does.
bool KeepIfChangedOnDisk(const std::string& path, const TFileStamp& seen);

// "" when files can be created in the folder dir; otherwise the message for the user
// ("フォルダ %s に書込めません" with the reason), CP932.
std::string FolderWriteProblem(const std::string& dir);
