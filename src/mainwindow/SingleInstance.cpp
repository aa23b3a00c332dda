#include "mainwindow/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "bridge/TextCodec.h"
#include "storage/VelmoraError.h"

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
// How long a second start waits for the holder to answer: the holder may still be starting.
constexpr int kAskForMs = 5000;
constexpr int kRetryMs = 100;
// What RemoveUnlessHeld returns for a lock file that a process holds.
constexpr int kHeld = -1;
// How many bytes a connection may send before the request is read: more is no request.
constexpr qsizetype kLongestRequest = 64;

// A socket watched for what arrives on it; the socket is closed with its watcher.
class TWatchedSocket : public QSocketNotifier {
public:
    TWatchedSocket(int fd, QObject* parent) : QSocketNotifier(fd, Read, parent) {}
    ~TWatchedSocket() override {
        setEnabled(false);
        ::close(static_cast<int>(socket()));
    }
};

// The address of the socket at path; false when the path is too long for one.
bool SocketAddress(const QByteArray& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

// Connects to the socket at path and sends request; false when nobody listens there or the
// request could not be sent within timeoutMs.
bool SendRequest(const QByteArray& path, const QByteArray& request, int timeoutMs) {
    sockaddr_un address;
    if (!SocketAddress(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // Both the connection (a holder too busy to take it) and the sending wait this long at most.
    const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    bool sent = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    for (qsizetype done = 0; sent && done < request.size();) {
        const ssize_t n = ::send(fd, request.constData() + done,
                                 static_cast<size_t>(request.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        sent = n > 0;
        done += sent ? n : 0;
    }
    ::close(fd);
    return sent;
}

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

TSingleInstance::~TSingleInstance() {
    // The socket goes with the lock, as it came with it.
    if (server_)
        ::unlink(serverPath_.constData());
}

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
    sockaddr_un address;
    // Without the socket a later start cannot bring this window up, but the lock still keeps
    // it from writing the same files: it says so and stops.
    if (!SocketAddress(QFile::encodeName(ServerName(folder_)), address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    // The lock is ours, so a socket of that name was left by a copy that is gone.
    ::unlink(address.sun_path);
    // Only the user may connect, whatever the runtime folder allows.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return;
    }
    serverPath_ = address.sun_path;
    server_ = new TWatchedSocket(fd, this);
    connect(server_, &QSocketNotifier::activated, this, &TSingleInstance::TakeRequests);
}

void TSingleInstance::TakeRequests() {
    for (;;) {
        const int fd = ::accept4(static_cast<int>(server_->socket()), nullptr, nullptr,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        auto* connection = new TWatchedSocket(fd, this);
        auto received = std::make_shared<QByteArray>();
        connect(connection, &QSocketNotifier::activated, this, [this, connection, received, fd] {
            char buffer[kLongestRequest];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return;
            if (n > 0 && received->size() < kLongestRequest) {
                received->append(buffer, n);
                if (received->contains(kShowRequest.trimmed())) {
                    received->clear();
                    Q_EMIT ShowRequested();
                }
                return;
            }
            // The other start is done (or sends what is no request): the connection ends.
            connection->setEnabled(false);
            connection->deleteLater();
        });
    }
}

bool TSingleInstance::AskHolderToShow() const {
    const QByteArray path = QFile::encodeName(ServerName(folder_));
    if (path.isEmpty())
        return false;
    const QDeadlineTimer deadline(kAskForMs);
    while (!deadline.hasExpired()) {
        if (SendRequest(path, kShowRequest, kRetryMs))
            return true;
        QThread::msleep(kRetryMs);
    }
    return false;
}
