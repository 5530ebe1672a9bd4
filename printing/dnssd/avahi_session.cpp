#include "printing/dnssd/avahi_session.h"

#include <algorithm>
#include <array>
#include <avahi-common/error.h>
#include <net/if.h>
#include <poll.h>

namespace {

// A stop is seen within this long.
constexpr std::chrono::milliseconds Slice{100};

} // namespace

AvahiSession::AvahiSession() : poll_(avahi_simple_poll_new()) {
    if (!poll_) {
        failure_ = "Avahi's event loop could not be made";
        return;
    }
    avahi_simple_poll_set_func(poll_.get(), PollAtMost, this);
    int error = 0;
    // Without AVAHI_CLIENT_NO_FAIL, a missing daemon fails here at once.
    client_.reset(
        avahi_client_new(avahi_simple_poll_get(poll_.get()), {}, ClientChanged, this, &error));
    if (!client_) {
        failure_ = avahi_strerror(error);
    }
}

std::string AvahiSession::LastError() const {
    return client_ ? avahi_strerror(avahi_client_errno(client_.get())) : failure_;
}

std::string AvahiSession::AddressText(const AvahiAddress& address, AvahiIfIndex interface) {
    std::array<char, AVAHI_ADDRESS_STR_MAX> text{};
    avahi_address_snprint(text.data(), text.size(), &address);
    std::string result = text.data();
    const bool linkLocal = address.proto == AVAHI_PROTO_INET6 &&
                           address.data.ipv6.address[0] == 0xfe &&
                           (address.data.ipv6.address[1] & 0xc0) == 0x80;
    std::array<char, IF_NAMESIZE> name{};
    if (linkLocal && interface > 0 &&
        if_indextoname(static_cast<unsigned>(interface), name.data()) != nullptr) {
        result.append("%").append(name.data());
    }
    return result;
}

void AvahiSession::ClientChanged(AvahiClient* client, AvahiClientState state, void* session) {
    auto* self = static_cast<AvahiSession*>(session);
    if (state == AVAHI_CLIENT_FAILURE && self->failure_.empty()) {
        self->failure_ = avahi_strerror(avahi_client_errno(client));
    }
}

// Avahi's loop asks to wait for its descriptors up to its next timer, or for ever; the wait
// is cut to what the caller has left.
int AvahiSession::PollAtMost(pollfd* descriptors, unsigned count, int timeout, void* session) {
    const int longest = static_cast<AvahiSession*>(session)->longestWait_;
    return ::poll(descriptors, count, timeout < 0 ? longest : std::min(timeout, longest));
}

bool AvahiSession::RunUntil(const std::function<bool()>& done, Clock::time_point deadline,
                            const std::atomic<bool>* stop) {
    while (!done()) {
        const auto now = Clock::now();
        if (!failure_.empty() || now >= deadline || (stop != nullptr && stop->load())) {
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        longestWait_ =
            static_cast<int>(std::clamp(left, std::chrono::milliseconds(1), Slice).count());
        if (avahi_simple_poll_iterate(poll_.get(), longestWait_) != 0) {
            if (failure_.empty()) {
                failure_ = "Avahi's event loop ended";
            }
            return false;
        }
    }
    return true;
}
