#pragma once

#include <sys/types.h>

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

// Velmora's folder of this computer's state: "Velmora" under $XDG_STATE_HOME when that is an
// absolute path (a relative one is no folder to the desktop's conventions), else under
// ~/.local/state; "" when neither can be told. Ends without a separator; not created.
std::string VelmoraStateFolder();

// The folder of this computer's state for the diary folder dir: in VelmoraStateFolder, the diary
// folder's last name, "-" and the digest of its canonical path, so each diary folder has its own
// and a link to a folder finds the same one. Not created; "" when there is no state folder.
std::string StateFolder(const std::string& dir);

// Whether dir is a folder of this user itself (not a link to one), so that nobody else can have
// put files into it; mode receives its permissions.
bool OwnFolder(const std::string& dir, mode_t& mode);

// Creates dir (absolute, and its parents) for its owner alone; false when it is not a folder of
// this user that only this user can enter.
bool PrivateFolder(const std::string& dir);
