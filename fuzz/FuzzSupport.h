#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "storage/FileEncoding.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"

// Saved files that read back as UTF-8 (see ReadsAsUtf8), counted for the final report.
inline int utf8RoundTrips = 0;

// A folder of this process for the files of one input, emptied before each; in memory where
// the system offers it, since every input is written and read several times.
inline std::string FuzzFolder(const std::string& name) {
    const std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    const auto folder = base / ("velmora-fuzz-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    SetMessageSink([](const std::string&) {});
    std::atexit([] {
        std::fprintf(stderr, "saved files read back as UTF-8 (texts not compared): %d\n",
                     utf8RoundTrips);
    });
    return folder.string() + "/";
}

inline void EmptyFolder(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::remove_all(entry.path());
    }
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline std::string ReadBack(const std::string& path) {
    std::string contents;
    ReadWholeFile(path, contents);
    return contents;
}

// A file Velmora wrote that reads as UTF-8 (CP932 that happens to be valid UTF-8 whose UTF-8
// reading is clearly Japanese and its CP932 reading is not) is converted on reading: the one
// difference after a save and a reload in a new run that is intended.
inline bool ReadsAsUtf8(std::string bytes) {
    const bool utf8 = ConvertUtf8File(bytes);
    utf8RoundTrips += utf8 ? 1 : 0;
    return utf8;
}

[[noreturn]] inline void RoundTripDiffers(const char* what, std::string_view saved) {
    std::fprintf(stderr, "round trip differs: %s\nsaved file (%zu bytes):\n", what, saved.size());
    std::fwrite(saved.data(), 1, saved.size(), stderr);
    std::fputc('\n', stderr);
    std::abort();
}
