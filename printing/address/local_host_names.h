#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Host names in the link-local domain ("printer.local") are answered by multicast DNS,
// which the system's resolver asks only where it was set up to (nss-mdns); an address
// `discover` printed must print without that. So the connecting code (TcpConnection, the
// IPP connections) asks here first: where a lookup is installed (the platform installs
// DNS-SD's), a ".local" name is looked up through it, within the caller's time; anything
// else, and a name the lookup could not answer, is left to the system's resolver.
class LocalHostNames {
public:
    // What a lookup found: numeric addresses ("192.168.1.20", "fe80::1%eth0"), or none and
    // why ("no answer within 2 s", "the DNS-SD daemon is not running").
    struct Answer {
        std::vector<std::string> addresses;
        std::string failure;
    };
    using Lookup =
        std::function<Answer(const std::string& host, std::chrono::milliseconds timeout)>;

    // Whether the name is one multicast DNS answers: it ends in ".local" (or ".local."),
    // in any case.
    static bool IsLocal(std::string_view host);

    // Installs the lookup for the whole program (none: every name goes to the system).
    static void Install(Lookup lookup);

    // A ".local" name looked up through the installed lookup, within the time-out; an
    // empty answer without a failure for any other name, or when no lookup is installed.
    static Answer Resolve(const std::string& host, std::chrono::milliseconds timeout);
};
