#pragma once

#include "printing/address/local_host_names.h"

#include <chrono>
#include <string>

// A ".local" host name looked up through the Avahi daemon, so that an address DNS-SD
// gave prints on a machine whose resolver does not ask multicast DNS. What the platform
// installs as LocalHostNames' lookup on Linux.
class AvahiHostLookup {
public:
    // The name's address, or why there is none ("the Avahi daemon could not be reached
    // (Daemon not running)", "Timeout reached", "no answer within 2 s"); never longer than
    // the time-out.
    static LocalHostNames::Answer Find(const std::string& host, std::chrono::milliseconds timeout);
};
