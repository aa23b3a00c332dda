#pragma once

#include <functional>
#include <string>
#include <vector>

// The core's one channel for messages a user must see (a failed load or save). The core builds
// the CP932 text; the window installs a sink that shows it in a message box, tests install one
// that records it. Without a sink the text goes to standard error.
using MessageSink = std::function<void(const std::string& cp932Text)>;

void SetMessageSink(MessageSink sink);
void ReportMessage(const std::string& cp932Text);

// While it lives, what its thread reports is kept in Messages instead of going to the sink:
// work run off the window's thread hands its messages back to be reported there. Scopes on one
// thread nest; the innermost keeps the messages.
class TCollectedMessages {
public:
    TCollectedMessages();
    ~TCollectedMessages();
    TCollectedMessages(const TCollectedMessages&) = delete;
    TCollectedMessages& operator=(const TCollectedMessages&) = delete;

    std::vector<std::string> Messages;

private:
    TCollectedMessages* outer_;
};

// One message for the lines of a file at path that could not be read: the first line's error,
// then "path (3, 7行目)" (at most ten numbers), then "データが読込めません!".
void ReportBadLines(const std::string& path, const std::string& firstError,
                    const std::vector<int>& lines);

// Says that the lines of the file at path (CP932) were cut short inside a field, so the file was
// not read whole, and that the file as found will be kept under another name before the save.
void ReportCutLines(const std::string& path, const std::vector<int>& lines);

// Says that the file at path (CP932) was in UTF-8 and has been read as such, and that the file
// as found will be kept under another name before the save, which writes CP932.
void ReportReadAsUtf8(const std::string& path);

// Says that the file at path (CP932) holds lines a save would lose (a later line of the same
// day, a line without a date, fields past the last one, comments) and that the file as found
// will be kept under another name before the save.
void ReportLinesASaveWouldLose(const std::string& path);
