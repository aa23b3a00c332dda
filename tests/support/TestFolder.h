#pragma once

#include <string>
#include <vector>

// A fresh folder of its own for one test, removed with everything in it when the test ends
// (also after a test made it read-only).
class TTestFolder {
public:
    TTestFolder();
    ~TTestFolder();
    TTestFolder(const TTestFolder&) = delete;
    TTestFolder& operator=(const TTestFolder&) = delete;

    // The folder with a trailing separator, as the day store's DataDir takes it.
    std::string Dir() const { return path_ + "/"; }
    // The folder without one.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return Dir() + name; }
    // The file's bytes; empty when it cannot be read.
    std::string Read(const std::string& name) const;
    // Writes bytes as they are.
    void Write(const std::string& name, const std::string& bytes) const;
    // Writes text given in UTF-8 as CP932, the files' own encoding.
    void WriteCp932(const std::string& name, const std::string& utf8) const;

private:
    std::string path_;
};

// Records what the core reports through its message channel while it lives.
class TRecordedMessages {
public:
    TRecordedMessages();
    ~TRecordedMessages();
    TRecordedMessages(const TRecordedMessages&) = delete;
    TRecordedMessages& operator=(const TRecordedMessages&) = delete;

    std::vector<std::string> messages;
};
