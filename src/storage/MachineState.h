#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What belongs to one computer rather than to the diary folder, which a sync service may carry
// to other computers: the name this computer's backups go under, and the folder that keeps what
// this computer last read of each diary file.

// A 64-bit FNV-1a digest of bytes: for telling a changed text from an unchanged one, and for
// naming a folder by its path. Not for anything an attacker chooses.
uint64_t DigestOf(std::string_view bytes);

// The digest as 16 lower-case hexadecimal digits.
std::string DigestText(uint64_t digest);

// The name of this computer's folder under "backup/": its host name, with every byte but ASCII
// letters, digits, "-", "_" and "." made "_", then "-" and the first eight digits of the machine
// id when one can be read, since two computers often share a host name ("debian", "localhost").
// The same on every call on one computer.
std::string HostFolderName();

// HostFolderName's rule over a given host name and machine id ("" when none).
std::string HostFolderName(std::string_view hostName, std::string_view machineId);

// The folder of this computer's state for the diary folder dir: under $XDG_STATE_HOME (when it
// is an absolute path, else ~/.local/state) "Velmora/", then the diary folder's last name, "-",
// and the digest of its canonical path, so each diary folder has its own and a link to a folder
// finds the same one. Ends without a separator; not created. "" when neither variable is
// set to an absolute path.
std::string StateFolder(const std::string& dir);

// Creates the folder at path (absolute) and the folders above it that are missing, each only for
// its owner (mode 0700). Throws VelmoraError "フォルダ %s を作れません" with the reason.
void MakePrivateFolder(const std::string& path);
