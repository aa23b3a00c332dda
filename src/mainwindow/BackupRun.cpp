#include "mainwindow/BackupRun.h"

#include <QThread>
#include <utility>

#include "storage/DailyBackup.h"
#include "storage/Report.h"

TBackupRun::TBackupRun(QObject* parent) : QObject(parent) {}

TBackupRun::~TBackupRun() {
    Finish();
}

void TBackupRun::Start(const std::string& dir, const std::string& baseName, int32_t today) {
    if (thread_)
        return;
    thread_ = QThread::create([this, dir, baseName, today] {
        TCollectedMessages collected;
        BackUpDiary(dir, baseName, today);
        // Read by this object's thread only after the worker has ended.
        messages_ = std::move(collected.Messages);
    });
    connect(thread_, &QThread::finished, this, [this, thread = thread_] {
        if (thread_ == thread)
            Finish();
    });
    thread_->start(QThread::LowPriority);
}

void TBackupRun::Finish() {
    if (!thread_)
        return;
    thread_->wait();
    delete std::exchange(thread_, nullptr);
    for (const std::string& message : std::exchange(messages_, {}))
        ReportMessage(message);
    Q_EMIT Finished();
}
