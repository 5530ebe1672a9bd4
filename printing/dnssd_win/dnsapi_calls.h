#pragma once

// windns.h needs the types of windows.h before it.
// clang-format off
#include <windows.h>
#include <windns.h>
// clang-format on

// The DNS-SD calls of the system's DNS client (dnsapi.dll, Windows 10 1903 on), found at run
// time: linked by name, a program would not start where they are missing (older Windows,
// wine). A search takes them as this table, so a test can hand in calls of its own.
struct DnsapiCalls {
    using Browse = DNS_STATUS(WINAPI*)(PDNS_SERVICE_BROWSE_REQUEST, PDNS_SERVICE_CANCEL);
    using Resolve = DNS_STATUS(WINAPI*)(PDNS_SERVICE_RESOLVE_REQUEST, PDNS_SERVICE_CANCEL);
    using Cancel = DNS_STATUS(WINAPI*)(PDNS_SERVICE_CANCEL);
    using FreeInstance = VOID(WINAPI*)(PDNS_SERVICE_INSTANCE);
    using Free = VOID(WINAPI*)(PVOID, DNS_FREE_TYPE);

    // What DnsServiceBrowse and DnsServiceResolve return when they have started; the
    // system's headers here lack the name.
    static constexpr DNS_STATUS RequestPending = 9506;

    Browse browse = nullptr;
    Cancel browseCancel = nullptr;
    Resolve resolve = nullptr;
    Cancel resolveCancel = nullptr;
    FreeInstance freeInstance = nullptr;
    Free free = nullptr;

    // Whether every call was found: a search needs them all.
    bool Complete() const {
        return browse != nullptr && browseCancel != nullptr && resolve != nullptr &&
               resolveCancel != nullptr && freeInstance != nullptr && free != nullptr;
    }
};
