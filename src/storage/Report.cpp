#include "storage/Report.h"

#include <cstdio>
#include <utility>

#include "storage/Cp932.h"
#include "storage/VelmoraError.h"

namespace {

constexpr size_t kMaxListedLines = 10;

thread_local TCollectedMessages* collecting = nullptr;

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

// "3, 7" for the line numbers, at most ten of them.
std::string LineNumbers(const std::vector<int>& lines) {
    std::string numbers;
    for (size_t i = 0; i < lines.size() && i < kMaxListedLines; ++i) {
        numbers += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
    }
    if (lines.size() > kMaxListedLines) {
        numbers += ", ...";
    }
    return numbers;
}

// What the user is told of the copy kept before the first save over path: its name.
std::string KeptBeforeSaving(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return Sjis("保存する前に、元のファイルを ") + name +
           Sjis(".bak (すでにあれば .bak2 など) の名前で残します。");
}

}  // namespace

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
}

TCollectedMessages::TCollectedMessages() : outer_(std::exchange(collecting, this)) {}

TCollectedMessages::~TCollectedMessages() {
    collecting = outer_;
}

void ReportBadLines(const std::string& path, const std::string& firstError,
                    const std::vector<int>& lines) {
    ReportMessage(firstError + "\r\n" + path + " (" + LineNumbers(lines) + Sjis("行目)") + "\r\n" +
                  Sjis("データが読込めません!"));
}

void ReportCutLines(const std::string& path, const std::vector<int>& lines) {
    ReportMessage(FormatMessage(Sjis("ファイル %s は途中で切れています"), path) + " (" +
                  LineNumbers(lines) + Sjis("行目)。読めたところまでを表示します。") +
                  KeptBeforeSaving(path));
}

void ReportReadAsUtf8(const std::string& path) {
    ReportMessage(
        FormatMessage(Sjis("ファイル %s は UTF-8 で書かれていたので、UTF-8 として読みました。"),
                      path) +
        KeptBeforeSaving(path));
}

void ReportLinesASaveWouldLose(const std::string& path) {
    ReportMessage(FormatMessage(Sjis("ファイル %s には、保存すると失われる行があります。"), path) +
                  KeptBeforeSaving(path));
}

void ReportMessage(const std::string& cp932Text) {
    if (collecting) {
        collecting->Messages.push_back(cp932Text);
    } else if (Sink()) {
        Sink()(cp932Text);
    } else {
        std::fwrite(cp932Text.data(), 1, cp932Text.size(), stderr);
        std::fputc('\n', stderr);
    }
}
