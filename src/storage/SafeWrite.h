#pragma once

#include <string>
#include <string_view>

// Every file Velmora writes goes through here, so that a crash, a full disk or a refused write
// never destroys what was on disk.

// Replaces the file at path by contents: the bytes go to a new file beside it, every write is
// checked, the file is flushed to disk and only then renamed over the old one, with the old
// one's access mode (a new file gets the mode a plain create would give). On any failure
// the old file is left as it was, the new one is removed, and VelmoraError is thrown with
// "ファイル %s は開けません" (the new file cannot be created) or "ファイル %s に書込めません"
// (a write, the flush or the rename failed), the path in place of %s.
void SafeWriteFile(const std::string& path, std::string_view contents);

// Keeps a copy of the file at path, as it is now, under the first free name of path + ".bak",
// ".bak2", ".bak3" and so on, so no earlier copy is ever overwritten; the copy has the file's
// access mode. Returns the copy's path.
// Throws VelmoraError, as SafeWriteFile does, when the copy cannot be made.
std::string KeepBackup(const std::string& path);

// The whole file as bytes; false when it does not exist or cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents);

bool FileExists(const std::string& path);
