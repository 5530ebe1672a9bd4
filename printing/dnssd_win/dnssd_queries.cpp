#include "printing/dnssd_win/dnssd_queries.h"

#include "printing/dnssd_win/service_instance_record.h"

#include <atomic>
#include <string>
#include <thread>
#include <utility>

namespace {

// How long a last callback that met a cancel on its way waits for that cancel call to
// return, so the query's cancel handle is not let go while the system still reads it. Only
// a system that waits for the callback inside its cancel would make it wait this long.
constexpr std::chrono::seconds CancelWait{2};

} // namespace

// One browse or resolve: what its callbacks need, and the cancel handle, which must stay
// where it is until the query is cancelled.
struct DnssdQueries::Query {
    std::shared_ptr<DnssdQueries> owner;
    bool resolve = false;
    std::string type;
    // The name asked for; the resolve call takes it as a writable string.
    std::wstring name;
    DNS_SERVICE_CANCEL cancel{};
    // Set by whichever comes first: the search's cancel, or a resolve's one callback.
    std::atomic<bool> claimed{false};
    // Under the owner's mutex: the thread that cancels, and whether its cancel returned.
    std::thread::id cancelling;
    bool cancelReturned = false;
};

std::shared_ptr<DnssdQueries::Query> DnssdQueries::Add(bool resolve, std::string_view type,
                                                       std::wstring name) {
    auto query = std::make_shared<Query>();
    query->owner = shared_from_this();
    query->resolve = resolve;
    query->type = type;
    query->name = std::move(name);
    // Registered before the call: the system may call back before the call returns.
    const std::lock_guard lock(mutex_);
    live_.emplace(query.get(), query);
    return query;
}

void DnssdQueries::Forget(Query* query) {
    const std::lock_guard lock(mutex_);
    live_.erase(query);
}

DNS_STATUS DnssdQueries::Browse(std::string_view type) {
    std::string name(type);
    name.append(".local");
    const std::shared_ptr<Query> query = Add(false, type, std::wstring(name.begin(), name.end()));
    DNS_SERVICE_BROWSE_REQUEST request{};
    request.Version = DNS_QUERY_REQUEST_VERSION1;
    request.InterfaceIndex = 0;
    request.QueryName = query->name.c_str();
    request.pBrowseCallback = Browsed;
    request.pQueryContext = query.get();
    const DNS_STATUS status = calls_.browse(&request, &query->cancel);
    if (status == DnsapiCalls::RequestPending) {
        return 0;
    }
    Forget(query.get());
    return status;
}

DNS_STATUS DnssdQueries::Resolve(const std::wstring& instance, std::string_view type) {
    const std::shared_ptr<Query> query = Add(true, type, instance);
    DNS_SERVICE_RESOLVE_REQUEST request{};
    request.Version = DNS_QUERY_REQUEST_VERSION1;
    request.InterfaceIndex = 0;
    request.QueryName = query->name.data();
    request.pResolveCompletionCallback = ResolveEnded;
    request.pQueryContext = query.get();
    const DNS_STATUS status = calls_.resolve(&request, &query->cancel);
    if (status == DnsapiCalls::RequestPending) {
        return 0;
    }
    Forget(query.get());
    return status;
}

VOID WINAPI DnssdQueries::Browsed(DWORD status, PVOID context, PDNS_RECORD records) {
    auto& query = *static_cast<Query*>(context);
    // Held here: the query may be let go inside BrowseEvent, this state must outlive it.
    const std::shared_ptr<DnssdQueries> owner = query.owner;
    std::vector<std::wstring> names;
    try {
        // The service calls give wide records, whatever the headers call a DNS_RECORD.
        for (auto* record = reinterpret_cast<const DNS_RECORDW*>(records); record != nullptr;
             record = record->pNext) {
            if (record->wType == DNS_TYPE_PTR && record->Data.PTR.pNameHost != nullptr) {
                names.emplace_back(record->Data.PTR.pNameHost);
            }
        }
    } catch (...) {
        names.clear(); // no memory for the names: these are passed over, nothing thrown
    }
    if (records != nullptr) {
        owner->calls_.free(records, DnsFreeRecordList);
    }
    try {
        owner->BrowseEvent(query, status, std::move(names));
    } catch (...) {
        // Nothing may be thrown through the system's frames.
    }
}

VOID WINAPI DnssdQueries::ResolveEnded(DWORD status, PVOID context,
                                       PDNS_SERVICE_INSTANCE instance) {
    auto& query = *static_cast<Query*>(context);
    const std::shared_ptr<DnssdQueries> owner = query.owner;
    std::optional<DnssdRecord> record;
    try {
        if (status == ERROR_SUCCESS && instance != nullptr) {
            record = ServiceInstanceRecord::Of(*instance, query.type, query.name);
        }
    } catch (...) {
        record.reset();
    }
    if (instance != nullptr) {
        owner->calls_.freeInstance(instance);
    }
    try {
        owner->ResolveEvent(query, std::move(record));
    } catch (...) {
        // As above.
    }
}

void DnssdQueries::BrowseEvent(Query& query, DWORD status, std::vector<std::wstring> names) {
    std::unique_lock lock(mutex_);
    // The one further callback a browse's cancel brings is its last; one the search did not
    // ask for is the system ending the browse, said as a failure.
    if (status == ERROR_CANCELLED) {
        if (!query.claimed.exchange(true) && events_.browseFailure == 0) {
            events_.browseFailure = status;
        }
        Ended(lock, query);
        return;
    }
    if (query.claimed.load()) {
        return;
    }
    for (std::wstring& name : names) {
        events_.seen.push_back({query.type, std::move(name)});
    }
    // A browse that found nothing yet, or timed out a round, goes on; anything else is said.
    if (names.empty() && status != ERROR_SUCCESS && status != DNS_INFO_NO_RECORDS &&
        status != ERROR_TIMEOUT && events_.browseFailure == 0) {
        events_.browseFailure = status;
    }
    changed_.notify_all();
}

void DnssdQueries::ResolveEvent(Query& query, std::optional<DnssdRecord> record) {
    const bool cancelled = query.claimed.exchange(true);
    std::unique_lock lock(mutex_);
    if (!cancelled) {
        events_.resolved.push_back(std::move(record));
    }
    Ended(lock, query);
}

// The query's last callback: once a cancel of it has returned, it is let go.
void DnssdQueries::Ended(std::unique_lock<std::mutex>& lock, Query& query) {
    if (query.claimed.load() && query.cancelling != std::thread::id() &&
        query.cancelling != std::this_thread::get_id()) {
        changed_.wait_for(lock, CancelWait, [&query] { return query.cancelReturned; });
    }
    auto held = live_.extract(&query);
    changed_.notify_all();
    lock.unlock();
}

DnssdQueries::Events DnssdQueries::Wait(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, until, [this] { return !events_.Empty(); });
    return std::exchange(events_, Events{});
}

void DnssdQueries::CancelAll() {
    std::vector<std::shared_ptr<Query>> running;
    {
        const std::lock_guard lock(mutex_);
        for (const auto& [key, query] : live_) {
            if (!query->claimed.exchange(true)) {
                query->cancelling = std::this_thread::get_id();
                running.push_back(query);
            }
        }
    }
    // Not under the mutex: the system may run the last callback inside the cancel call.
    for (const std::shared_ptr<Query>& query : running) {
        (query->resolve ? calls_.resolveCancel : calls_.browseCancel)(&query->cancel);
        const std::lock_guard lock(mutex_);
        query->cancelReturned = true;
        changed_.notify_all();
    }
}
