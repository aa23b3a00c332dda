#pragma once

#include <QString>
#include <string>
#include <string_view>

// The widgets' side of the CP932 boundary: the core's CP932 bytes to and from QString, with the
// core codec's rules for characters CP932 cannot hold. A byte that is no CP932 (a damaged file)
// shows as U+FFFD; a text written back with the bytes it was shown from keeps such bytes where
// the user left them (ShownToCp932).
QString FromCp932(std::string_view cp932);
std::string ToCp932(const QString& text);
std::string ToCp932(const QString& text, std::string_view original);
