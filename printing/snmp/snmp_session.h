#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One conversation with one SNMP agent (v1 or v2c) over net-snmp's single-session API, the
// only place that includes net-snmp. Every exchange together ends by the deadline given:
// each request waits only for the time left, and is sent once.
//
// Debian builds net-snmp without its thread locks, so the library is used by one session
// at a time in the whole program: a session holds the library while it lives, and waits for
// it no longer than its deadline.
class SnmpSession {
public:
    using Oid = std::vector<std::uint32_t>;
    using Clock = std::chrono::steady_clock;

    enum class Version { V1, V2c };

    // One name and value of a reply. A name the agent has no object for comes back as
    // Missing (v2c's noSuchObject and noSuchInstance, v1's noSuchName); past the last
    // object, EndOfView.
    struct Binding {
        enum class Kind { Integer, Bytes, Missing, EndOfView, Other };
        Oid name;
        Kind kind = Kind::Other;
        long integer = 0;
        std::string bytes; // octet strings as sent, cut at textLimit
    };

    struct Peer {
        std::string host; // a name, an IPv4 address or an IPv6 address, brackets optional
        std::uint16_t port = 161;
        std::string community;
        Version version = Version::V2c;
    };

    // Opens the session, whose exchanges all end within `timeout` from now; Failed() tells
    // whether opening went wrong and Reason() why. Octet strings are cut at textLimit.
    SnmpSession(const Peer& peer, std::chrono::milliseconds timeout, std::size_t textLimit);
    ~SnmpSession();
    SnmpSession(const SnmpSession&) = delete;
    SnmpSession& operator=(const SnmpSession&) = delete;

    // GET: the bindings in the order of the names, Missing for a name the agent has no
    // object for. Nothing when the exchange failed; Reason() says why.
    std::optional<std::vector<Binding>> Get(const std::vector<Oid>& names);
    // The next objects after each name: GETNEXT under v1, so one binding per name in their
    // order; under v2c GETBULK with up to `repetitions` rounds, the names' successors round
    // after round.
    std::optional<std::vector<Binding>> Next(const std::vector<Oid>& names, int repetitions);

    // One GET of the same names from many agents at once, each over a session of its own
    // (requests go to those hosts and nowhere else): every request is sent first, then the
    // answers are taken as they come, until all came, the time-out passed or `stop` (which
    // may be none) was set. For each peer in order: its bindings (none for an agent that
    // refused the request), or nothing when it did not answer. Holds the library as one
    // session does.
    static std::vector<std::optional<std::vector<Binding>>>
    GetEach(const std::vector<Peer>& peers, const std::vector<Oid>& names,
            std::chrono::milliseconds timeout, std::size_t textLimit,
            const std::atomic<bool>* stop);

    bool Failed() const { return !reason_.empty(); }
    const std::string& Reason() const { return reason_; }

private:
    struct Handle;

    bool Open();
    std::optional<std::vector<Binding>> Exchange(int command, const std::vector<Oid>& names,
                                                 int repetitions);
    // One request and its answer, or nothing with the reason set.
    struct Reply;
    std::optional<Reply> Send(int command, const std::vector<const Oid*>& names, int repetitions);
    std::string NoAnswer() const;

    Peer peer_;
    Clock::time_point deadline_;
    std::chrono::milliseconds timeout_;
    std::size_t textLimit_;
    std::unique_lock<std::timed_mutex> library_;
    std::unique_ptr<Handle> handle_;
    std::string reason_;
};
