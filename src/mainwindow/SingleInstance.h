#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QSocketNotifier;

// One copy of Velmora per diary folder: two copies on one folder would each write the year
// files with their own pages and lose the other's. The first copy holds a lock file and serves a
// local socket, both in the user's own runtime folder on this computer and named after the
// diary folder, so that nothing of them lies in a folder that a sync service carries to another
// computer; a later start on the same folder asks it to show itself and stops. A lock file that
// no process holds (a crash left it, it is empty, damaged or cannot be read) is taken over.
// Earlier versions held "Velmora.lock" in the diary folder: while one of them runs on the folder
// this copy does not start, and such a file that no process holds is removed.
class TSingleInstance : public QObject {
    Q_OBJECT
public:
    enum class TStart {
        Holder,       // this copy holds the folder
        Other,        // another copy holds it and was asked to show itself
        OtherSilent,  // another copy holds it and did not answer
        Blocked,      // a lock file that no copy holds cannot be removed
        Unlockable    // the folder takes no lock file (it cannot be written): run without one
    };

    explicit TSingleInstance(const QString& folder, QObject* parent = nullptr);
    ~TSingleInstance() override;

    TStart Start();
    // After OtherSilent or Blocked: what to tell the user, with the lock file and what to do.
    QString Refusal() const { return refusal_; }
    // The local socket's path for a folder: one per diary folder, in a folder that only the user
    // can enter ($XDG_RUNTIME_DIR, or Qt's private stand-in for it when that is unset or unfit),
    // so that no other user can take or fake it; "" when there is no such folder.
    static QString ServerName(const QString& folder);
    // The lock file's path for a folder: beside its socket; "" when there is no runtime folder.
    static QString LockPath(const QString& folder);

Q_SIGNALS:
    // Another start on this folder asked the window to come to the front.
    void ShowRequested();

private:
    TStart Hold();
    bool OlderCopyHoldsFolder() const;
    void Serve();
    void TakeRequests();
    bool AskHolderToShow() const;
    QString HolderRefusal() const;

    QString folder_;
    QString lockPath_;
    QLockFile lock_;
    // The socket later starts ask through, while this copy holds the folder; it is a plain
    // Unix-domain socket so that the program needs no network library.
    QSocketNotifier* server_ = nullptr;
    QByteArray serverPath_;
    QString refusal_;
};
