#pragma once

#include <QString>
#include <string>
#include <string_view>

// The widgets' side of the CP932 boundary: the core's CP932 bytes to and from QString, with the
// core codec's rules for characters CP932 cannot hold.
QString FromCp932(std::string_view cp932);
std::string ToCp932(const QString& text);
