#include "storage/Report.h"

#include <cstdio>
#include <utility>

namespace {
MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}
}  // namespace

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
}

void ReportMessage(const std::string& cp932Text) {
    if (Sink()) {
        Sink()(cp932Text);
    } else {
        std::fwrite(cp932Text.data(), 1, cp932Text.size(), stderr);
        std::fputc('\n', stderr);
    }
}
