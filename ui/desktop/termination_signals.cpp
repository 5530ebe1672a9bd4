#include "ui/desktop/termination_signals.h"

#ifndef _WIN32
#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> WatchedSignals = {SIGTERM, SIGINT, SIGHUP};

// The pair the handler writes into (1) and the notifier reads from (0).
int signalPipe[2] = {-1, -1};

void WriteSignal(int signalNumber) {
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request to end: losing this one loses nothing.
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

void SetHandler(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Read);
    for (const int signalNumber : WatchedSignals) {
        SetHandler(signalNumber, WriteSignal);
    }
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (const int signalNumber : WatchedSignals) {
        SetHandler(signalNumber, SIG_DFL);
    }
    close(signalPipe[0]);
    close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::Read() {
    unsigned char byte = 0;
    while (read(signalPipe[0], &byte, 1) == 1) {
        emit received(byte);
    }
}

#else

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;
void TerminationSignals::Read() {}

#endif
