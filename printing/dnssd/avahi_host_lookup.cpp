#include "printing/dnssd/avahi_host_lookup.h"

#include "core/seconds_text.h"
#include "printing/dnssd/avahi_session.h"

namespace {

struct Lookup {
    bool done = false;
    LocalHostNames::Answer answer;
    AvahiSession* session = nullptr;
};

void Resolved(AvahiHostNameResolver*, AvahiIfIndex interface, AvahiProtocol,
              AvahiResolverEvent event, const char*, const AvahiAddress* address,
              AvahiLookupResultFlags, void* lookup) {
    auto* state = static_cast<Lookup*>(lookup);
    state->done = true;
    if (event == AVAHI_RESOLVER_FOUND && address != nullptr) {
        state->answer.addresses.push_back(AvahiSession::AddressText(*address, interface));
    } else {
        state->answer.failure = state->session->LastError();
    }
}

} // namespace

LocalHostNames::Answer AvahiHostLookup::Find(const std::string& host,
                                             std::chrono::milliseconds timeout) {
    const auto deadline = AvahiSession::Clock::now() + timeout;
    AvahiSession session;
    Lookup lookup;
    lookup.session = &session;
    if (!session.Failure().empty()) {
        lookup.answer.failure = "the Avahi daemon could not be reached (" + session.Failure() + ")";
        return lookup.answer;
    }
    const AvahiHostNameResolverPtr resolver(
        avahi_host_name_resolver_new(session.Client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                     host.c_str(), AVAHI_PROTO_UNSPEC, {}, Resolved, &lookup));
    if (!resolver) {
        lookup.answer.failure = session.LastError();
        return lookup.answer;
    }
    if (!session.RunUntil([&lookup] { return lookup.done; }, deadline, nullptr)) {
        lookup.answer.failure = session.Failure().empty()
                                    ? "no answer within " + SecondsText(timeout)
                                    : session.Failure();
    }
    return lookup.answer;
}
