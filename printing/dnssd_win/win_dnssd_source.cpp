#include "printing/dnssd_win/win_dnssd_source.h"

#include "core/win_text.h"
#include "printing/discovery/dnssd_record.h"
#include "printing/dnssd_win/dnssd_queries.h"
#include "printing/dnssd_win/service_instance_record.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;

// The longest wait between two looks at the stop flag.
constexpr std::chrono::milliseconds StopSlice{100};

// The queries of one search, every one cancelled when the search ends, however it ends.
class RunningQueries {
public:
    explicit RunningQueries(const DnsapiCalls& calls)
        : queries_(std::make_shared<DnssdQueries>(calls)) {}
    ~RunningQueries() { queries_->CancelAll(); }
    RunningQueries(const RunningQueries&) = delete;
    RunningQueries& operator=(const RunningQueries&) = delete;
    DnssdQueries* operator->() const { return queries_.get(); }
    DnssdQueries& operator*() const { return *queries_; }

private:
    std::shared_ptr<DnssdQueries> queries_;
};

std::string ErrorText(DWORD status) {
    std::string text("Windows error ");
    text.append(std::to_string(status));
    return text;
}

// The instances browses named, each resolved once, at most MaxResolving at once.
class Instances {
public:
    void Seen(DnssdQueries::Seen seen) {
        const std::optional<std::string> name =
            ServiceInstanceRecord::InstanceName(seen.instance, seen.type);
        if (!name) {
            return; // not an instance of the type browsed
        }
        std::string key = WinText::Utf8(seen.instance);
        std::transform(key.begin(), key.end(), key.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        if (known_.count(key) != 0) {
            return;
        }
        if (known_.size() >= WinDnssdSource::MaxServices) {
            ++unlooked_;
            return;
        }
        known_.insert(std::move(key));
        waiting_.push_back(std::move(seen));
    }
    void ResolveWaiting(DnssdQueries& queries) {
        while (!waiting_.empty() && resolving_ < WinDnssdSource::MaxResolving) {
            const DnssdQueries::Seen next = std::move(waiting_.front());
            waiting_.pop_front();
            if (queries.Resolve(next.instance, next.type) == 0) {
                ++resolving_;
            } else {
                ++unresolved_;
            }
        }
    }
    void Resolved(const std::optional<DnssdRecord>& record, const PrinterSource::Found& found) {
        --resolving_;
        if (record) {
            found(record->Printer());
        } else {
            ++unresolved_;
        }
    }
    std::vector<std::string> Notes() const;

private:
    std::set<std::string> known_;
    std::deque<DnssdQueries::Seen> waiting_;
    std::size_t resolving_ = 0;
    std::size_t unlooked_ = 0;
    std::size_t unresolved_ = 0;
};

std::vector<std::string> Instances::Notes() const {
    std::vector<std::string> notes;
    if (unlooked_ > 0) {
        std::string note = std::to_string(WinDnssdSource::MaxServices);
        note.append(" services were looked at and no more; ")
            .append(std::to_string(unlooked_))
            .append(" further announcements were passed over");
        notes.push_back(std::move(note));
    }
    if (unresolved_ > 0) {
        std::string note = std::to_string(unresolved_);
        note.append(unresolved_ == 1 ? " service was left out: it"
                                     : " services were left out: they")
            .append(" did not resolve to an address");
        notes.push_back(std::move(note));
    }
    return notes;
}

} // namespace

std::string WinDnssdSource::Search(Clock::time_point deadline, const std::atomic<bool>* stop,
                                   const Found& found) {
    notes_.clear();
    if (!calls_.Complete()) {
        return "not on this system";
    }
    RunningQueries queries(calls_);
    DNS_STATUS refused = 0;
    std::size_t browsing = 0;
    for (const std::string_view type : DnssdRecord::ServiceTypes) {
        const DNS_STATUS status = queries->Browse(type);
        browsing += status == 0 ? 1 : 0;
        refused = status != 0 ? status : refused;
    }
    if (browsing == 0) {
        std::string why("Windows would not browse (");
        why.append(ErrorText(static_cast<DWORD>(refused))).append(")");
        return why;
    }
    Instances instances;
    DWORD browseFailure = refused;
    while ((stop == nullptr || !stop->load()) && Clock::now() < deadline) {
        DnssdQueries::Events events = queries->Wait(std::min(Clock::now() + StopSlice, deadline));
        for (DnssdQueries::Seen& seen : events.seen) {
            instances.Seen(std::move(seen));
        }
        for (const std::optional<DnssdRecord>& record : events.resolved) {
            instances.Resolved(record, found);
        }
        browseFailure = browseFailure != 0 ? browseFailure : events.browseFailure;
        instances.ResolveWaiting(*queries);
    }
    notes_ = instances.Notes();
    if (browseFailure != 0) {
        std::string note("browsing broke off: ");
        note.append(ErrorText(browseFailure));
        notes_.push_back(std::move(note));
    }
    return {};
}
