#include "mainwindow/QuitSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

constexpr int kHandled[] = {SIGTERM, SIGHUP};

// The write end of the pipe of the one live TQuitSignals.
volatile sig_atomic_t writeFd = -1;

void OnSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a wake-up; nothing is lost by dropping this one.
    if (writeFd >= 0 && ::write(writeFd, &byte, 1) < 0)
        errno = savedErrno;
    errno = savedErrno;
}

}  // namespace

TQuitSignals::TQuitSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0)
        return;
    writeFd = fds_[0];
    notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TQuitSignals::Read);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kHandled)
        ::sigaction(s, &action, nullptr);
}

TQuitSignals::~TQuitSignals() {
    for (int s : kHandled)
        ::signal(s, SIG_DFL);
    writeFd = -1;
    for (int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

void TQuitSignals::Read() {
    unsigned char byte = 0;
    while (::read(fds_[1], &byte, 1) == 1)
        Q_EMIT Received(byte);
}
