#include "support/TestFolder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

#include "storage/Cp932.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"

TTestFolder::TTestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("no temporary folder for a test");
    }
    path_ = pattern;
}

TTestFolder::~TTestFolder() {
    ::chmod(path_.c_str(), 0755);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TTestFolder::Read(const std::string& name) const {
    std::string bytes;
    ReadWholeFile(File(name), bytes);
    return bytes;
}

void TTestFolder::Write(const std::string& name, const std::string& bytes) const {
    SafeWriteFile(File(name), bytes);
}

void TTestFolder::WriteCp932(const std::string& name, const std::string& utf8) const {
    Write(name, Utf8ToCp932(utf8));
}

TRecordedMessages::TRecordedMessages() {
    SetMessageSink([this](const std::string& text) { messages.push_back(text); });
}

TRecordedMessages::~TRecordedMessages() {
    SetMessageSink(nullptr);
}
