#pragma once

#ifndef _WIN32
#include <signal.h>
#endif

class InterruptFlag;

// While it lives, Ctrl+C (SIGINT) and SIGTERM raise the flag instead of ending the program,
// once: the signal's default action is back for the next one, so a second Ctrl+C ends the
// program at once. The handling that was there before comes back when it goes. One at a
// time. A signal that was ignored when the program started (a background job of a script)
// stays ignored.
//
// On POSIX the handlers are installed without SA_RESTART, so a read that waits for a pipe,
// a FIFO or a terminal returns (EINTR) and the job stops at once rather than at the next
// byte that arrives. On Windows the signal arrives on a thread of its own and the job
// stops at its next piece.
class InterruptSignals {
public:
    explicit InterruptSignals(InterruptFlag& flag);
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

private:
#ifdef _WIN32
    using Handler = void (*)(int);
    Handler previousInterrupt_;
    Handler previousTerminate_;
#else
    struct sigaction previousInterrupt_ = {};
    struct sigaction previousTerminate_ = {};
#endif
};
