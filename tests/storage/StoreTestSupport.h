#pragma once

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "storage/DataInfo.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"

// A fresh folder for the year files of one test, and the messages the store reports meanwhile.
class StoreFolder {
public:
    StoreFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("velmora-store-" + std::to_string(::getpid()) + "-" + std::to_string(next_++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        SetMessageSink([this](const std::string& text) { messages.push_back(text); });
    }
    ~StoreFolder() {
        SetMessageSink(nullptr);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(path_);
    }
    StoreFolder(const StoreFolder&) = delete;
    StoreFolder& operator=(const StoreFolder&) = delete;

    // The folder with a trailing separator, as the store's DataDir.
    std::string Dir() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return Dir() + name; }
    std::string Read(const std::string& name) const {
        std::string contents;
        ReadWholeFile(File(name), contents);
        return contents;
    }

    std::vector<std::string> messages;

private:
    std::filesystem::path path_;
    static inline int next_ = 0;
};

// Failures print records field by field, texts cut short.
inline void PrintTo(const TDataInfo& rec, std::ostream* os) {
    const auto text = [os](const char* name, const std::string& s) {
        *os << ", " << name << " \"" << std::string_view(s).substr(0, 40) << '"';
    };
    *os << "{Date " << rec.Date << ", Weather " << rec.Weather;
    text("Title", rec.Title);
    text("Text", rec.Text);
    text("RichText", rec.RichText);
    text("Private", rec.Private);
    text("News", rec.News);
    text("Extra", rec.Extra);
    *os << "}";
}
