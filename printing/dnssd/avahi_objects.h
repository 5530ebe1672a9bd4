#pragma once

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-client/publish.h>
#include <avahi-common/simple-watch.h>
#include <avahi-common/thread-watch.h>
#include <memory>

// Every Avahi object this program makes, owned: freed by its own function when its owner
// goes, whatever the path.
template <typename Object, void (*Free)(Object*)> struct AvahiFree {
    void operator()(Object* object) const { Free(object); }
};

// Avahi's own free functions return a status for some objects; none is of use on the way
// out.
template <typename Object, int (*Free)(Object*)> struct AvahiRelease {
    void operator()(Object* object) const { Free(object); }
};

using AvahiSimplePollPtr =
    std::unique_ptr<AvahiSimplePoll, AvahiFree<AvahiSimplePoll, avahi_simple_poll_free>>;
using AvahiThreadedPollPtr =
    std::unique_ptr<AvahiThreadedPoll, AvahiFree<AvahiThreadedPoll, avahi_threaded_poll_free>>;
using AvahiClientPtr = std::unique_ptr<AvahiClient, AvahiFree<AvahiClient, avahi_client_free>>;
using AvahiServiceBrowserPtr =
    std::unique_ptr<AvahiServiceBrowser,
                    AvahiRelease<AvahiServiceBrowser, avahi_service_browser_free>>;
using AvahiServiceResolverPtr =
    std::unique_ptr<AvahiServiceResolver,
                    AvahiRelease<AvahiServiceResolver, avahi_service_resolver_free>>;
using AvahiHostNameResolverPtr =
    std::unique_ptr<AvahiHostNameResolver,
                    AvahiRelease<AvahiHostNameResolver, avahi_host_name_resolver_free>>;
using AvahiEntryGroupPtr =
    std::unique_ptr<AvahiEntryGroup, AvahiRelease<AvahiEntryGroup, avahi_entry_group_free>>;
using AvahiStringListPtr =
    std::unique_ptr<AvahiStringList, AvahiFree<AvahiStringList, avahi_string_list_free>>;
