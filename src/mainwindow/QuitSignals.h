#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGHUP (a logout, a shutdown, a closed terminal) arrive as a Qt signal on the
// event loop, where the window can write its pages and quit in order. Only one object may
// exist at a time: the handler writes to its pipe.
class TQuitSignals : public QObject {
    Q_OBJECT
public:
    explicit TQuitSignals(QObject* parent = nullptr);
    ~TQuitSignals() override;

Q_SIGNALS:
    void Received(int signalNumber);

private:
    void Read();

    int fds_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};
