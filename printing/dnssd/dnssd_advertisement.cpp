#include "printing/dnssd/dnssd_advertisement.h"

#include "printing/dnssd/avahi_objects.h"

#include <arpa/inet.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

// Where a service is announced: the interface and address family of its listener.
struct Place {
    AvahiIfIndex interface = AVAHI_IF_UNSPEC;
    AvahiProtocol protocol = AVAHI_PROTO_UNSPEC;
};

struct InterfaceList {
    ifaddrs* list = nullptr;
    InterfaceList() {
        if (getifaddrs(&list) != 0) {
            list = nullptr;
        }
    }
    ~InterfaceList() {
        if (list != nullptr) {
            freeifaddrs(list);
        }
    }
    InterfaceList(const InterfaceList&) = delete;
    InterfaceList& operator=(const InterfaceList&) = delete;
};

bool SameAddress(const sockaddr* address, int family, const void* bytes) {
    if (address == nullptr || address->sa_family != family) {
        return false;
    }
    if (family == AF_INET) {
        return std::memcmp(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr, bytes,
                           sizeof(in_addr)) == 0;
    }
    return std::memcmp(&reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, bytes,
                       sizeof(in6_addr)) == 0;
}

// The interface that holds the address; for a loopback address, the loopback interface.
AvahiIfIndex InterfaceHolding(int family, const void* bytes, bool loopback) {
    const InterfaceList interfaces;
    for (const ifaddrs* entry = interfaces.list; entry != nullptr; entry = entry->ifa_next) {
        const bool matches = loopback ? (entry->ifa_flags & IFF_LOOPBACK) != 0
                                      : SameAddress(entry->ifa_addr, family, bytes);
        if (matches) {
            return static_cast<AvahiIfIndex>(if_nametoindex(entry->ifa_name));
        }
    }
    return AVAHI_IF_UNSPEC;
}

Place PlaceOf(const std::string& address) {
    in_addr ipv4{};
    in6_addr ipv6{};
    if (inet_pton(AF_INET, address.c_str(), &ipv4) == 1) {
        const std::uint32_t host = ntohl(ipv4.s_addr);
        if (host == INADDR_ANY) {
            return {AVAHI_IF_UNSPEC, AVAHI_PROTO_INET};
        }
        return {InterfaceHolding(AF_INET, &ipv4, (host >> 24) == 127), AVAHI_PROTO_INET};
    }
    if (inet_pton(AF_INET6, address.c_str(), &ipv6) == 1) {
        if (IN6_IS_ADDR_UNSPECIFIED(&ipv6)) {
            return {AVAHI_IF_UNSPEC, AVAHI_PROTO_INET6};
        }
        return {InterfaceHolding(AF_INET6, &ipv6, IN6_IS_ADDR_LOOPBACK(&ipv6)), AVAHI_PROTO_INET6};
    }
    return {};
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

} // namespace

struct DnssdAdvertisement::State {
    std::string name;
    std::vector<Service> services;
    Report report;
    std::string failure;
    // Stopped first when the advertisement goes, so no callback runs while the rest goes.
    AvahiThreadedPollPtr poll;
    AvahiClientPtr client;
    AvahiEntryGroupPtr group;

    static void ClientChanged(AvahiClient* client, AvahiClientState state, void* self);
    static void GroupChanged(AvahiEntryGroup* group, AvahiEntryGroupState state, void* self);
    void OnClient(AvahiClient* client, AvahiClientState state);
    void OnGroup(AvahiEntryGroup* changed, AvahiEntryGroupState state);
    void Register(AvahiClient* client);
    int AddServices();
    void TakeAlternativeName();
    std::string Types() const;
    std::string Words(AvahiClient* client) const {
        return avahi_strerror(avahi_client_errno(client));
    }
    void Say(const std::string& line) const { report(line); }
};

std::string DnssdAdvertisement::State::Types() const {
    std::string types;
    for (const Service& service : services) {
        types +=
            (types.empty() ? "" : ", ") + service.type + " port " + std::to_string(service.port);
    }
    return types;
}

void DnssdAdvertisement::State::ClientChanged(AvahiClient* client, AvahiClientState state,
                                              void* self) {
    // Nothing may be thrown through Avahi's C frames: a line that can't be made is lost.
    try {
        static_cast<State*>(self)->OnClient(client, state);
    } catch (...) {
    }
}

void DnssdAdvertisement::State::GroupChanged(AvahiEntryGroup* group, AvahiEntryGroupState state,
                                             void* self) {
    try {
        static_cast<State*>(self)->OnGroup(group, state);
    } catch (...) {
    }
}

void DnssdAdvertisement::State::OnClient(AvahiClient* client, AvahiClientState state) {
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        Register(client);
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        // The daemon's host name is changing: the services are registered again once it
        // runs under its new one.
        if (group) {
            avahi_entry_group_reset(group.get());
        }
        break;
    case AVAHI_CLIENT_FAILURE:
        Say("no longer advertised: " + Words(client));
        break;
    case AVAHI_CLIENT_CONNECTING:
        break;
    }
}

void DnssdAdvertisement::State::OnGroup(AvahiEntryGroup* changed, AvahiEntryGroupState state) {
    AvahiClient* client = avahi_entry_group_get_client(changed);
    switch (state) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        Say("advertised as " + Quoted(name) + " (" + Types() + ")");
        break;
    case AVAHI_ENTRY_GROUP_COLLISION:
        TakeAlternativeName();
        avahi_entry_group_reset(changed);
        Register(client);
        break;
    case AVAHI_ENTRY_GROUP_FAILURE:
        Say("not advertised: " + Words(client));
        break;
    case AVAHI_ENTRY_GROUP_UNCOMMITED:
    case AVAHI_ENTRY_GROUP_REGISTERING:
        break;
    }
}

void DnssdAdvertisement::State::TakeAlternativeName() {
    char* alternative = avahi_alternative_service_name(name.c_str());
    const std::string taken = name;
    name = alternative != nullptr ? alternative : name + " #2";
    avahi_free(alternative);
    Say("the name " + Quoted(taken) + " is taken; trying " + Quoted(name));
}

int DnssdAdvertisement::State::AddServices() {
    for (const Service& service : services) {
        AvahiStringListPtr txt;
        // Avahi puts each new string first; added from the last, they keep their order.
        for (auto entry = service.txt.rbegin(); entry != service.txt.rend(); ++entry) {
            txt.reset(avahi_string_list_add_arbitrary(
                txt.release(), reinterpret_cast<const uint8_t*>(entry->data()), entry->size()));
        }
        const Place place = PlaceOf(service.address);
        const int error = avahi_entry_group_add_service_strlst(
            group.get(), place.interface, place.protocol, {}, name.c_str(), service.type.c_str(),
            nullptr, nullptr, service.port, txt.get());
        if (error < 0) {
            return error;
        }
    }
    return avahi_entry_group_commit(group.get());
}

void DnssdAdvertisement::State::Register(AvahiClient* client) {
    if (!group) {
        group.reset(avahi_entry_group_new(client, GroupChanged, this));
        if (!group) {
            Say("not advertised: " + Words(client));
            return;
        }
    }
    if (!avahi_entry_group_is_empty(group.get())) {
        return;
    }
    // A name this daemon already holds is refused at once rather than by a collision.
    for (int tries = 0; tries < 16; ++tries) {
        const int error = AddServices();
        if (error != AVAHI_ERR_COLLISION) {
            if (error < 0) {
                Say("not advertised: " + std::string(avahi_strerror(error)));
            }
            return;
        }
        TakeAlternativeName();
        avahi_entry_group_reset(group.get());
    }
    Say("not advertised: every name tried was taken");
}

DnssdAdvertisement::DnssdAdvertisement(const std::string& name, std::vector<Service> services,
                                       Report report)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.name = name;
    state.services = std::move(services);
    state.report = std::move(report);
    state.poll.reset(avahi_threaded_poll_new());
    if (!state.poll) {
        state.failure = "Avahi's event loop could not be made";
        return;
    }
    int error = 0;
    // Made before the loop's thread runs, so its first callbacks come on this thread.
    state.client.reset(avahi_client_new(avahi_threaded_poll_get(state.poll.get()), {},
                                        State::ClientChanged, &state, &error));
    if (!state.client) {
        state.failure =
            "the Avahi daemon could not be reached (" + std::string(avahi_strerror(error)) + ")";
        return;
    }
    if (avahi_threaded_poll_start(state.poll.get()) < 0) {
        state.failure = "Avahi's event loop did not start";
    }
}

DnssdAdvertisement::~DnssdAdvertisement() {
    if (state_->poll) {
        // Ends the loop's thread; afterwards the group, the client and the loop are freed
        // in that order, and freeing the group withdraws the services.
        avahi_threaded_poll_stop(state_->poll.get());
    }
}

const std::string& DnssdAdvertisement::Failure() const {
    return state_->failure;
}
