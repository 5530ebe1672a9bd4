#pragma once

#include <csignal>

// Holds SIGPIPE back from the calling thread while it writes, so that a FIFO whose reader
// went away shows as the write's EPIPE instead of ending the program. A SIGPIPE raised
// meanwhile is taken off again; one that was pending before is left as it was.
class BlockedSigpipe {
public:
    BlockedSigpipe();
    ~BlockedSigpipe();
    BlockedSigpipe(const BlockedSigpipe&) = delete;
    BlockedSigpipe& operator=(const BlockedSigpipe&) = delete;

private:
    sigset_t previousMask_;
    bool wasPending_ = false;
};
