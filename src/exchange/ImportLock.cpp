#include "exchange/ImportLock.h"

#include <QLockFile>
#include <QTextStream>

#include "mainwindow/SingleInstance.h"

bool HoldForImport(const QString& folder, std::unique_ptr<QLockFile>& lock, QTextStream& err) {
    const QString lockPath = TSingleInstance::LockPath(folder);
    if (lockPath.isEmpty())
        return true;
    lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0) || lock->error() != QLockFile::LockFailedError)
        return true;
    err << QStringLiteral(
               "Velmora がこのフォルダ（%1）を開いています。Velmora "
               "を閉じてから、もう一度取り込んでください。")
               .arg(folder)
        << Qt::endl;
    return false;
}
