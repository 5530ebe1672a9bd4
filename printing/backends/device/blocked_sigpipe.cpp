#include "printing/backends/device/blocked_sigpipe.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>

namespace {

sigset_t SigpipeOnly() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

bool SigpipePending() {
    sigset_t pending;
    sigemptyset(&pending);
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

} // namespace

BlockedSigpipe::BlockedSigpipe() : wasPending_(SigpipePending()) {
    const sigset_t sigpipe = SigpipeOnly();
    pthread_sigmask(SIG_BLOCK, &sigpipe, &previousMask_);
}

BlockedSigpipe::~BlockedSigpipe() {
    if (!wasPending_ && SigpipePending()) {
        const sigset_t sigpipe = SigpipeOnly();
        const timespec noWait{};
        while (sigtimedwait(&sigpipe, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}
