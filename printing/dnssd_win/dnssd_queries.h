#pragma once

#include "printing/discovery/dnssd_record.h"
#include "printing/dnssd_win/dnsapi_calls.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The browses and resolves of one DNS-SD search through the system's DNS client, and what
// their callbacks said. The callbacks come on the system's threads, also after the search
// has ended: each query keeps this state alive until its last callback, which only copies
// what it was given (freeing the system's memory at once) for the searching thread to take
// with Wait. Made with make_shared; every query is cancelled with CancelAll.
class DnssdQueries : public std::enable_shared_from_this<DnssdQueries> {
public:
    // An instance a browse named: its full name ("Front Desk._ipp._tcp.local") and the
    // type browsed ("_ipp._tcp").
    struct Seen {
        std::string type;
        std::wstring instance;
    };
    struct Events {
        std::vector<Seen> seen;
        // One per resolve that ended: the record, none where it did not resolve.
        std::vector<std::optional<DnssdRecord>> resolved;
        // The first status a browse failed with, 0 while none did.
        DWORD browseFailure = 0;
        bool Empty() const { return seen.empty() && resolved.empty() && browseFailure == 0; }
    };

    explicit DnssdQueries(const DnsapiCalls& calls) : calls_(calls) {}

    // Starts browsing `type` in ".local"; 0, or the status the system refused with.
    DNS_STATUS Browse(std::string_view type);
    // Starts resolving an instance a browse of `type` named; 0, or the refusal's status.
    DNS_STATUS Resolve(const std::wstring& instance, std::string_view type);
    // What came since the last call, waiting for something until `until`.
    Events Wait(std::chrono::steady_clock::time_point until);
    // Cancels every query still running. Their last callbacks may come later: they find
    // this state alive and are not reported.
    void CancelAll();

private:
    struct Query;

    std::shared_ptr<Query> Add(bool resolve, std::string_view type, std::wstring name);
    void Forget(Query* query);
    static VOID WINAPI Browsed(DWORD status, PVOID context, PDNS_RECORD records);
    static VOID WINAPI ResolveEnded(DWORD status, PVOID context, PDNS_SERVICE_INSTANCE instance);
    void BrowseEvent(Query& query, DWORD status, std::vector<std::wstring> names);
    void ResolveEvent(Query& query, std::optional<DnssdRecord> record);
    void Ended(std::unique_lock<std::mutex>& lock, Query& query);

    const DnsapiCalls calls_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Events events_;
    // The queries the system may still call back, each held until its last callback.
    std::map<Query*, std::shared_ptr<Query>> live_;
};
