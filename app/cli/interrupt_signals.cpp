#include "app/cli/interrupt_signals.h"

#include "app/cli/interrupt_flag.h"

#include <atomic>
#include <csignal>

namespace {

// The flag the handler raises: the handler can reach nothing but globals.
std::atomic<InterruptFlag*> watched{nullptr};
static_assert(std::atomic<InterruptFlag*>::is_always_lock_free);

extern "C" void RaiseWatchedFlag(int signalNumber) {
    if (InterruptFlag* flag = watched.load()) {
        flag->Raise(signalNumber);
    }
}

#ifdef _WIN32

// The C runtime puts the default action back before it calls the handler, which is the
// once-only behaviour wanted.
using Handler = void (*)(int);

Handler Watch(int signalNumber) {
    const Handler previous = std::signal(signalNumber, RaiseWatchedFlag);
    if (previous == SIG_IGN) {
        std::signal(signalNumber, SIG_IGN);
    }
    return previous;
}

#else

struct sigaction Watch(int signalNumber) {
    struct sigaction action = {};
    action.sa_handler = RaiseWatchedFlag;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocked read must return. SA_RESETHAND: once only.
    action.sa_flags = SA_RESETHAND;
    struct sigaction previous = {};
    sigaction(signalNumber, &action, &previous);
    if (previous.sa_handler == SIG_IGN) {
        sigaction(signalNumber, &previous, nullptr);
    }
    return previous;
}

#endif

} // namespace

InterruptSignals::InterruptSignals(InterruptFlag& flag) {
    watched.store(&flag);
    previousInterrupt_ = Watch(SIGINT);
    previousTerminate_ = Watch(SIGTERM);
}

#ifdef _WIN32

InterruptSignals::~InterruptSignals() {
    std::signal(SIGINT, previousInterrupt_);
    std::signal(SIGTERM, previousTerminate_);
    watched.store(nullptr);
}

#else

InterruptSignals::~InterruptSignals() {
    sigaction(SIGINT, &previousInterrupt_, nullptr);
    sigaction(SIGTERM, &previousTerminate_, nullptr);
    watched.store(nullptr);
}

#endif
