#pragma once

#include <functional>
#include <string>

// The core's one channel for messages a user must see (a failed load or save). The core builds
// the CP932 text; the window installs a sink that shows it in a message box, tests install one
// that records it. Without a sink the text goes to standard error.
using MessageSink = std::function<void(const std::string& cp932Text)>;

void SetMessageSink(MessageSink sink);
void ReportMessage(const std::string& cp932Text);
