#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

// One copy of Velmora per diary folder: two copies on one folder would each write the year
// files with their own pages and lose the other's. The first copy holds a lock file in the
// folder and serves a local socket; a later start on the same folder asks it to show itself
// and stops. A lock left by a copy that crashed is taken over.
class TSingleInstance : public QObject {
    Q_OBJECT
public:
    enum class TStart {
        Holder,       // this copy holds the folder
        Other,        // another copy holds it and was asked to show itself
        OtherSilent,  // another copy holds it and did not answer
        Unlockable    // the folder takes no lock file (it cannot be written): run without one
    };

    explicit TSingleInstance(const QString& folder, QObject* parent = nullptr);
    ~TSingleInstance() override;

    TStart Start();
    // The local socket's name for a folder: one per user and folder.
    static QString ServerName(const QString& folder);

Q_SIGNALS:
    // Another start on this folder asked the window to come to the front.
    void ShowRequested();

private:
    void Serve();
    bool AskHolderToShow() const;

    QString folder_;
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
};
