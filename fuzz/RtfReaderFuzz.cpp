// Reads arbitrary bytes as a diary body. Besides crashes, hangs and leaks it checks that what
// the writer makes of the result is a fixed point: reading and writing it again gives the same
// bytes, so a body does not drift each time it is saved.
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_reader_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QTextDocument document;
    ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size), document);
    const std::string once = WriteRtf(document);
    QTextDocument again;
    ReadRtf(once, again);
    if (const std::string twice = WriteRtf(again); twice != once) {
        std::fprintf(stderr, "rewrite differs:\n%s\n%s\n", once.c_str(), twice.c_str());
        std::abort();
    }
    return 0;
}
