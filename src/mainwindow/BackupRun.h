#pragma once

#include <QObject>
#include <cstdint>
#include <string>
#include <vector>

class QThread;

// Today's copies of the diary's files (BackUpDiary), made on a thread of their own, so that the
// window neither waits for them to show nor stops answering while a first start of the day copies
// years of pages. What the copying reports is reported on the window's thread once it ends, as
// every other message. Every copy is written under a temporary name and renamed when whole
// (SafeWriteCopy), so a copy cut short is never found under its file's name.
class TBackupRun : public QObject {
    Q_OBJECT
public:
    explicit TBackupRun(QObject* parent = nullptr);
    // Waits for the copies still being made.
    ~TBackupRun() override;

    // Starts the copies of the files in dir (the diary folder) for the day today; nothing when
    // copies are already being made.
    void Start(const std::string& dir, const std::string& baseName, int32_t today);
    // Waits until the copies are made, then reports what they reported; at once when none are
    // being made. The end of the program calls it before it ends.
    void Finish();
    bool Running() const { return thread_ != nullptr; }

Q_SIGNALS:
    // The copies are made and their messages reported.
    void Finished();

private:
    QThread* thread_ = nullptr;
    std::vector<std::string> messages_;
};
