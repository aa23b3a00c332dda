#include "mainwindow/SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
// How long a second start waits for the holder to answer: the holder may still be starting.
constexpr int kAskForMs = 5000;
constexpr int kRetryMs = 100;

}  // namespace

TSingleInstance::TSingleInstance(const QString& folder, QObject* parent)
    : QObject(parent),
      folder_(folder),
      lock_(QDir(folder).filePath(QStringLiteral("Velmora.lock"))) {
    // A lock is stale only when its process is gone, never because it is old.
    lock_.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::ServerName(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray digest =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("velmora-%1-%2")
        .arg(::getuid())
        .arg(QString::fromLatin1(digest.left(24)));
}

TSingleInstance::TStart TSingleInstance::Start() {
    if (lock_.tryLock(0)) {
        Serve();
        return TStart::Holder;
    }
    if (lock_.error() != QLockFile::LockFailedError)
        return TStart::Unlockable;
    return AskHolderToShow() ? TStart::Other : TStart::OtherSilent;
}

void TSingleInstance::Serve() {
    const QString name = ServerName(folder_);
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
    // Without the socket a later start cannot bring this window up, but the lock still keeps
    // it from writing the same files: it says so and stops.
    server_->listen(name);
}

bool TSingleInstance::AskHolderToShow() const {
    const QDeadlineTimer deadline(kAskForMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(ServerName(folder_));
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
