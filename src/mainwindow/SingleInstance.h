#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

// One copy of Velmora per diary folder: two copies on one folder would each write the year
// files with their own pages and lose the other's. The first copy holds the lock file
// "Velmora.lock" in the folder and serves a local socket in the user's own runtime folder; a
// later start on the same folder asks it to show itself and stops. A lock file that no process
// holds (a crash left it, it was copied from another computer, it is empty, damaged or cannot be
// read) is taken over.
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

Q_SIGNALS:
    // Another start on this folder asked the window to come to the front.
    void ShowRequested();

private:
    TStart Hold();
    void Serve();
    bool AskHolderToShow() const;
    QString HolderRefusal() const;

    QString folder_;
    QString lockPath_;
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
    QString refusal_;
};
