#include "printing/dnssd/dnssd_source.h"

#include "printing/discovery/dnssd_record.h"
#include "printing/dnssd/avahi_session.h"

#include <deque>
#include <exception>
#include <map>

namespace {

// Where one service was seen: a service on two interfaces, or over IPv4 and IPv6, is seen
// twice, and resolved where it was seen first (the next place if that fails).
struct Sighting {
    AvahiIfIndex interface;
    AvahiProtocol protocol;
    std::string name;
    std::string type;
    std::string domain;
};

// One search: the browsers for every printer type, the services they reported, and the
// resolvers at work. Lives on the searching thread; Avahi calls back only while the
// session runs.
class DnssdBrowse {
public:
    DnssdBrowse(AvahiSession& session, const PrinterSource::Found& found)
        : session_(session), found_(found) {}

    // Starts browsing; Avahi's words when it would not.
    std::string Start();
    // Whether browsing broke off, or the code a callback ran threw.
    bool Ended() const { return !failure_.empty() || thrown_ != nullptr; }
    // Throws what a callback's code threw, now that no Avahi code is on the stack.
    void Rethrow() const {
        if (thrown_) {
            std::rethrow_exception(thrown_);
        }
    }
    std::vector<std::string> Notes() const;

private:
    struct Service {
        std::deque<Sighting> untried;
        bool resolving = false;
        bool done = false;
    };
    using Key = std::string;
    static constexpr std::size_t MaxPlaces = 8;

    static void Browsed(AvahiServiceBrowser* browser, AvahiIfIndex interface,
                        AvahiProtocol protocol, AvahiBrowserEvent event, const char* name,
                        const char* type, const char* domain, AvahiLookupResultFlags flags,
                        void* browse);
    static void Resolved(AvahiServiceResolver* resolver, AvahiIfIndex interface,
                         AvahiProtocol protocol, AvahiResolverEvent event, const char* name,
                         const char* type, const char* domain, const char* host,
                         const AvahiAddress* address, uint16_t port, AvahiStringList* txt,
                         AvahiLookupResultFlags flags, void* browse);
    void Seen(Sighting sighting);
    void HandOver(const Sighting& where, const char* host, const AvahiAddress* address,
                  uint16_t port, AvahiStringList* txt);
    void ResolveWaiting();
    // Runs the code of a callback: nothing may be thrown through Avahi's C frames.
    template <typename Code> void Guarded(Code code) {
        try {
            code();
        } catch (...) {
            if (!thrown_) {
                thrown_ = std::current_exception();
            }
        }
    }

    AvahiSession& session_;
    const PrinterSource::Found& found_;
    std::vector<AvahiServiceBrowserPtr> browsers_;
    std::map<Key, Service> services_;
    std::deque<Key> waiting_;
    struct Resolving {
        AvahiServiceResolverPtr resolver;
        Key key;
    };
    std::map<AvahiServiceResolver*, Resolving> resolving_;
    std::size_t unlooked_ = 0;
    std::size_t unresolved_ = 0;
    std::string failure_;
    std::exception_ptr thrown_;
};

std::string KeyOf(const Sighting& sighting) {
    return sighting.name + '\0' + sighting.type + '\0' + sighting.domain;
}

std::string Text(const char* text) {
    return text != nullptr ? text : "";
}

std::string DnssdBrowse::Start() {
    for (const std::string_view type : DnssdRecord::ServiceTypes) {
        AvahiServiceBrowserPtr browser(
            avahi_service_browser_new(session_.Client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                      std::string(type).c_str(), nullptr, {}, Browsed, this));
        if (!browser) {
            return session_.LastError();
        }
        browsers_.push_back(std::move(browser));
    }
    return {};
}

void DnssdBrowse::Browsed(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol,
                          AvahiBrowserEvent event, const char* name, const char* type,
                          const char* domain, AvahiLookupResultFlags, void* browse) {
    auto* self = static_cast<DnssdBrowse*>(browse);
    self->Guarded([&] {
        if (event == AVAHI_BROWSER_FAILURE) {
            self->failure_ = self->session_.LastError();
        } else if (event == AVAHI_BROWSER_NEW) {
            self->Seen({interface, protocol, Text(name), Text(type), Text(domain)});
        }
    });
}

void DnssdBrowse::Seen(Sighting sighting) {
    const Key key = KeyOf(sighting);
    auto known = services_.find(key);
    if (known == services_.end()) {
        if (services_.size() >= DnssdSource::MaxServices) {
            ++unlooked_;
            return;
        }
        known = services_.emplace(key, Service{}).first;
        waiting_.push_back(key);
    }
    // A service is seen once per interface and address family; more is a service that
    // comes and goes, and its first places are enough.
    if (!known->second.done && known->second.untried.size() < MaxPlaces) {
        known->second.untried.push_back(std::move(sighting));
    }
    ResolveWaiting();
}

void DnssdBrowse::ResolveWaiting() {
    while (!waiting_.empty() && resolving_.size() < DnssdSource::MaxResolving) {
        const Key key = waiting_.front();
        waiting_.pop_front();
        Service& service = services_.at(key);
        if (service.done || service.resolving || service.untried.empty()) {
            continue;
        }
        const Sighting where = service.untried.front();
        service.untried.pop_front();
        AvahiServiceResolverPtr resolver(avahi_service_resolver_new(
            session_.Client(), where.interface, where.protocol, where.name.c_str(),
            where.type.c_str(), where.domain.c_str(), AVAHI_PROTO_UNSPEC, {}, Resolved, this));
        if (!resolver) {
            // The daemon refused this one (a name it takes for malformed); the next may do.
            waiting_.push_back(key);
            if (service.untried.empty()) {
                service.done = true;
                ++unresolved_;
            }
            continue;
        }
        service.resolving = true;
        AvahiServiceResolver* const handle = resolver.get();
        resolving_.emplace(handle, Resolving{std::move(resolver), key});
    }
}

void DnssdBrowse::Resolved(AvahiServiceResolver* resolver, AvahiIfIndex interface, AvahiProtocol,
                           AvahiResolverEvent event, const char* name, const char* type,
                           const char* domain, const char* host, const AvahiAddress* address,
                           uint16_t port, AvahiStringList* txt, AvahiLookupResultFlags,
                           void* browse) {
    auto* self = static_cast<DnssdBrowse*>(browse);
    const auto at = self->resolving_.find(resolver);
    if (at == self->resolving_.end()) {
        return;
    }
    // Freed when this callback ends, as Avahi allows: it has told what it knows.
    const Resolving finished = std::move(at->second);
    self->resolving_.erase(at);
    self->Guarded([&] {
        Service& service = self->services_.at(finished.key);
        service.resolving = false;
        if (event == AVAHI_RESOLVER_FOUND) {
            service.done = true;
            self->HandOver({interface, AVAHI_PROTO_UNSPEC, Text(name), Text(type), Text(domain)},
                           host, address, port, txt);
        } else if (service.untried.empty()) {
            service.done = true;
            ++self->unresolved_;
        } else {
            self->waiting_.push_back(finished.key);
        }
        self->ResolveWaiting();
    });
}

void DnssdBrowse::HandOver(const Sighting& where, const char* host, const AvahiAddress* address,
                           uint16_t port, AvahiStringList* txt) {
    DnssdRecord record;
    record.name = where.name;
    record.type = where.type;
    record.host = Text(host);
    if (address != nullptr) {
        record.address = AvahiSession::AddressText(*address, where.interface);
    }
    record.port = port;
    for (AvahiStringList* entry = txt; entry != nullptr;
         entry = avahi_string_list_get_next(entry)) {
        record.txt.emplace_back(reinterpret_cast<const char*>(avahi_string_list_get_text(entry)),
                                avahi_string_list_get_size(entry));
    }
    found_(record.Printer());
}

std::vector<std::string> DnssdBrowse::Notes() const {
    std::vector<std::string> notes;
    if (unlooked_ > 0) {
        notes.push_back(std::to_string(DnssdSource::MaxServices) +
                        " services were looked at and no more; " + std::to_string(unlooked_) +
                        " further announcements were passed over");
    }
    if (unresolved_ > 0) {
        notes.push_back(
            std::to_string(unresolved_) +
            (unresolved_ == 1 ? " service was left out: it" : " services were left out: they") +
            " did not resolve to an address");
    }
    if (!failure_.empty()) {
        notes.push_back("browsing broke off: " + failure_);
    }
    return notes;
}

} // namespace

std::string DnssdSource::Search(std::chrono::steady_clock::time_point deadline,
                                const std::atomic<bool>* stop, const Found& found) {
    notes_.clear();
    AvahiSession session;
    if (!session.Failure().empty()) {
        return "the Avahi daemon could not be reached (" + session.Failure() + ")";
    }
    DnssdBrowse browse(session, found);
    if (const std::string why = browse.Start(); !why.empty()) {
        return "Avahi would not browse (" + why + ")";
    }
    session.RunUntil([&browse] { return browse.Ended(); }, deadline, stop);
    browse.Rethrow();
    notes_ = browse.Notes();
    if (!session.Failure().empty()) {
        notes_.push_back("the connection to the Avahi daemon was lost: " + session.Failure());
    }
    return {};
}
