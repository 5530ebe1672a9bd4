#pragma once

#include "printing/dnssd/avahi_objects.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

struct pollfd;

// A connection to the DNS-SD daemon (avahi-daemon, over the system's D-Bus), its callbacks
// run on the caller's thread and only while it waits: every wait ends by its deadline or
// stop. Without a daemon the connection fails at once, and Failure() says why in Avahi's
// words.
class AvahiSession {
public:
    using Clock = std::chrono::steady_clock;

    AvahiSession();
    AvahiSession(const AvahiSession&) = delete;
    AvahiSession& operator=(const AvahiSession&) = delete;

    // Why there is no connection, or why it was lost: "Daemon not running"; empty while
    // it stands.
    const std::string& Failure() const { return failure_; }
    AvahiClient* Client() const { return client_.get(); }
    // Avahi's words for the last error on the connection.
    std::string LastError() const;

    // The address as text; an IPv6 link-local one with the interface it was found on
    // ("fe80::1%eth0"), without which it reaches nothing.
    static std::string AddressText(const AvahiAddress& address, AvahiIfIndex interface);

    // Runs the callbacks until `done` holds, the deadline passes, `stop` (which may be
    // none) is set or the connection is lost. Returns whether `done` held.
    bool RunUntil(const std::function<bool()>& done, Clock::time_point deadline,
                  const std::atomic<bool>* stop);

private:
    static void ClientChanged(AvahiClient* client, AvahiClientState state, void* session);
    static int PollAtMost(pollfd* descriptors, unsigned count, int timeout, void* session);

    AvahiSimplePollPtr poll_;
    AvahiClientPtr client_;
    std::string failure_;
    // The longest one poll may wait, so that a deadline or a stop is seen in time.
    int longestWait_ = 0;
};
