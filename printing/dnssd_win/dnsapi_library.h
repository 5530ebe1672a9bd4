#pragma once

#include "printing/dnssd_win/dnsapi_calls.h"

// dnsapi.dll, loaded for as long as this object lives, and the DNS-SD calls found in it
// (those missing are null).
class DnsapiLibrary {
public:
    DnsapiLibrary();
    ~DnsapiLibrary();
    DnsapiLibrary(const DnsapiLibrary&) = delete;
    DnsapiLibrary& operator=(const DnsapiLibrary&) = delete;

    const DnsapiCalls& Calls() const { return calls_; }

    // The calls of the library loaded once for the program's whole run: a query's last
    // callback may still be on its way after its cancel returned, and runs the library's code.
    static const DnsapiCalls& System();

private:
    HMODULE module_;
    DnsapiCalls calls_;
};
