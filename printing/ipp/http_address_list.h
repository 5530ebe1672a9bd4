#pragma once

#include <chrono>
#include <string>

struct http_addrlist_s;

// The addresses an IPP connection is made to. libcups asks only the system's resolver,
// which knows a ".local" name only where multicast DNS was set up for it; so such a name is
// looked up through LocalHostNames first, and libcups connects to what was found under the
// host's own name (its Host header and TLS name stay the printer's). For any other name,
// and a ".local" one that lookup could not answer, the list is empty and libcups resolves
// the name itself.
class HttpAddressList {
public:
    HttpAddressList(const std::string& host, int port, std::chrono::milliseconds timeout);
    ~HttpAddressList();
    HttpAddressList(const HttpAddressList&) = delete;
    HttpAddressList& operator=(const HttpAddressList&) = delete;

    // What httpConnect2 takes; null where libcups is to resolve the name.
    http_addrlist_s* get() const { return list_; }
    // Why the ".local" lookup found nothing; empty when it did or was not asked.
    const std::string& LookupFailure() const { return lookupFailure_; }

private:
    http_addrlist_s* list_ = nullptr;
    std::string lookupFailure_;
};
