#include "mainwindow/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>

#include "bridge/TextCodec.h"
#include "storage/VelmoraError.h"

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
// How long a second start waits for the holder to answer: the holder may still be starting.
constexpr int kAskForMs = 5000;
constexpr int kRetryMs = 100;
// What RemoveUnlessHeld returns for a lock file that a process holds.
constexpr int kHeld = -1;

// Whether the kernel lists a lock on a file with this inode number; for a file this user cannot
// open. Files of other file systems with the same number count too: a lock is kept rather than
// taken when in doubt.
bool ListedInKernelLocks(ino_t inode) {
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    const QByteArray inodeField = ':' + QByteArray::number(static_cast<qulonglong>(inode));
    // "1: FLOCK  ADVISORY  WRITE 4242 fd:01:1234567 0 EOF": major and minor, then the inode.
    for (const QByteArray& line : locks.readAll().split('\n')) {
        for (const QByteArray& field : line.simplified().split(' ')) {
            if (field.count(':') == 2 && field.endsWith(inodeField))
                return true;
        }
    }
    return false;
}

// Removes the file at path: 0 when it is gone, else the error.
int UnlinkGone(const QByteArray& path) {
    return ::unlink(path.constData()) == 0 || errno == ENOENT ? 0 : errno;
}

// Whether the file at path is a lock file as Velmora's earlier versions left in the diary folder
// (a QLockFile's: the process number on its first line, or empty as a crash while it was being
// written leaves it), so that no file of the user's is ever taken for one.
bool IsOlderLockFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // cannot be told: whether it is held decides
    const QByteArray pid = file.readLine().trimmed();
    return (pid.isEmpty() && file.atEnd()) ||
           std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Removes the lock file at path unless a process holds it. A running copy keeps a lock on its
// lock file for as long as it runs (QLockFile takes flock), whatever the file says; a file that a
// crash left, that came from another computer or that is damaged has none. Returns kHeld, 0 when
// the file is gone, or the error of its removal.
int RemoveUnlessHeld(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        struct stat info {};
        if (errno != ENOENT && ::stat(path.constData(), &info) == 0 &&
            ListedInKernelLocks(info.st_ino))
            return kHeld;
        return UnlinkGone(path);  // cannot be read, or a link that leads nowhere
    }
    int result = kHeld;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // A copy that took the file over meanwhile has put a new one at path: that one stays.
        struct stat held {};
        struct stat now {};
        const bool replaced = ::fstat(fd, &held) != 0 || ::stat(path.constData(), &now) != 0 ||
                              held.st_dev != now.st_dev || held.st_ino != now.st_ino;
        result = replaced ? 0 : UnlinkGone(path);
    }
    ::close(fd);
    return result;
}

}  // namespace

TSingleInstance::TSingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder), lockPath_(LockPath(folder)), lock_(lockPath_) {
    // Whether a lock is held is decided by its holder's lock on the file, never by its age.
    lock_.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::ServerName(const QString& folder) {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray digest =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256).toHex();
    return QDir(runtime).filePath(QStringLiteral("velmora-") +
                                  QString::fromLatin1(digest.left(24)));
}

QString TSingleInstance::LockPath(const QString& folder) {
    const QString name = ServerName(folder);
    return name.isEmpty() ? QString() : name + QStringLiteral(".lock");
}

TSingleInstance::TStart TSingleInstance::Start() {
    if (lockPath_.isEmpty())
        return TStart::Unlockable;
    if (lock_.tryLock(0))
        return Hold();
    if (lock_.error() != QLockFile::LockFailedError)
        return TStart::Unlockable;
    const QByteArray path = QFile::encodeName(lockPath_);
    const int removal = RemoveUnlessHeld(path);
    if (removal == 0) {
        if (lock_.tryLock(0))
            return Hold();
        if (lock_.error() != QLockFile::LockFailedError)
            return TStart::Unlockable;
        // Another start took the folder between the removal and this lock.
    } else if (removal != kHeld) {
        const QByteArray folder = QFile::encodeName(QFileInfo(lockPath_).absolutePath());
        if (::faccessat(AT_FDCWD, folder.constData(), W_OK, AT_EACCESS) != 0)
            return TStart::Unlockable;
        refusal_ =
            u"ロックファイル %1 を消せません%2。\r\n"
            u"この日記を開いている Velmora がないことを確かめてから、このファイルを"
            u"削除して、起動し直してください。"_qs.arg(lockPath_, FromCp932(ErrnoSuffix(removal)));
        return TStart::Blocked;
    }
    if (AskHolderToShow())
        return TStart::Other;
    refusal_ = HolderRefusal();
    return TStart::OtherSilent;
}

TSingleInstance::TStart TSingleInstance::Hold() {
    if (OlderCopyHoldsFolder()) {
        lock_.unlock();
        if (AskHolderToShow())
            return TStart::Other;
        refusal_ =
            u"この日記は別の Velmora (以前の版) で開かれています。\r\n"
            u"そちらを終了してから起動し直してください。\r\nロックファイル: %1"_qs.arg(
                QDir(folder_).filePath(QStringLiteral("Velmora.lock")));
        return TStart::OtherSilent;
    }
    Serve();
    return TStart::Holder;
}

bool TSingleInstance::OlderCopyHoldsFolder() const {
    const QString path = QDir(folder_).filePath(QStringLiteral("Velmora.lock"));
    if (!IsOlderLockFile(path))
        return false;
    // A file that cannot be removed does no harm where nothing looks for it any more.
    return RemoveUnlessHeld(QFile::encodeName(path)) == kHeld;
}

QString TSingleInstance::HolderRefusal() const {
    qint64 pid = 0;
    QString host;
    QString application;
    const bool known = lock_.getLockInfo(&pid, &host, &application) &&
                       host == QSysInfo::machineHostName() && pid > 0;
    const QString holder =
        known ? u"その Velmora (プロセス番号 %1)"_qs.arg(pid) : u"その Velmora"_qs;
    return u"この日記は別の Velmora で開かれています。\r\n"
           u"そちらのウィンドウをお使いください。ウィンドウが見つからないときは、%1を"
           u"終了してから起動し直してください。\r\nロックファイル: %2"_qs.arg(holder, lockPath_);
}

void TSingleInstance::Serve() {
    const QString name = ServerName(folder_);
    // Without the socket a later start cannot bring this window up, but the lock still keeps
    // it from writing the same files: it says so and stops.
    if (name.isEmpty())
        return;
    // The lock is ours, so a socket of that name was left by a copy that is gone.
    QLocalServer::removeServer(name);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kShowRequest.trimmed()))
                    Q_EMIT ShowRequested();
            });
        }
    });
    server_->listen(name);
}

bool TSingleInstance::AskHolderToShow() const {
    const QString name = ServerName(folder_);
    if (name.isEmpty())
        return false;
    const QDeadlineTimer deadline(kAskForMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(kRetryMs)) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(kAskForMs);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(kRetryMs);
    }
    return false;
}
