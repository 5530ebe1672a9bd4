#include "printing/dnssd_win/dnsapi_library.h"
#include "printing/dnssd_win/win_dnssd_source.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// One announced instance, and what resolving it gives.
struct Announced {
    std::wstring type;
    std::wstring fullName;
    DWORD status = ERROR_SUCCESS;
    // False: the resolve never ends by itself, only by its cancel.
    bool answers = true;
    const wchar_t* host = L"prn.local";
    std::optional<IP4_ADDRESS> ip4 = {};
    std::optional<IP6_ADDRESS> ip6 = {};
    WORD port = 9100;
    std::vector<std::pair<std::wstring, const wchar_t*>> txt = {};
    DWORD interfaceIndex = 0;
};

// A resolved instance as the system hands it out, freed by FreeInstance.
struct FakeInstance {
    DNS_SERVICE_INSTANCE instance{};
    std::vector<PWSTR> keys, values;
};

// The system's DNS client as the table of calls: browses name their instances within the
// call, resolves answer within theirs, a cancelled resolve's last callback comes from another
// thread; it counts what was made, freed and cancelled.
class FakeDnsapi {
public:
    explicit FakeDnsapi(std::vector<Announced> announced) : announced_(std::move(announced)) {
        current = this;
    }
    ~FakeDnsapi() {
        JoinCallbacks();
        current = nullptr;
    }
    // Waits for the last callbacks of cancelled resolves.
    void JoinCallbacks() {
        for (std::thread& thread : threads_) {
            thread.join();
        }
        threads_.clear();
    }
    static DnsapiCalls Calls() {
        return {Browse, BrowseCancel, Resolve, ResolveCancel, FreeInstance, Free};
    }

    static inline FakeDnsapi* current = nullptr;
    std::vector<Announced> announced_;
    std::mutex mutex_;
    std::vector<std::thread> threads_;
    std::map<PDNS_SERVICE_CANCEL, std::pair<PDNS_SERVICE_RESOLVE_COMPLETE, PVOID>> unanswered_;
    int browses = 0, browseCancels = 0, resolves = 0, resolveCancels = 0;
    int made = 0, freed = 0;

private:
    static DNS_STATUS WINAPI Browse(PDNS_SERVICE_BROWSE_REQUEST request, PDNS_SERVICE_CANCEL) {
        FakeDnsapi& fake = *current;
        PDNS_RECORD list = nullptr;
        // Built from the back, so the list names them in the order announced.
        for (auto at = fake.announced_.rbegin(); at != fake.announced_.rend(); ++at) {
            Announced& service = *at;
            if (service.type + L".local" == request->QueryName) {
                auto* record = new DNS_RECORDW{};
                record->wType = DNS_TYPE_PTR;
                record->Data.PTR.pNameHost = service.fullName.data();
                record->pNext = reinterpret_cast<DNS_RECORDW*>(list);
                list = reinterpret_cast<PDNS_RECORD>(record);
                ++fake.made;
            }
        }
        ++fake.browses;
        request->pBrowseCallback(ERROR_SUCCESS, request->pQueryContext, list);
        return DnsapiCalls::RequestPending;
    }
    static DNS_STATUS WINAPI Resolve(PDNS_SERVICE_RESOLVE_REQUEST request,
                                     PDNS_SERVICE_CANCEL cancel) {
        FakeDnsapi& fake = *current;
        ++fake.resolves;
        for (Announced& service : fake.announced_) {
            if (service.fullName != request->QueryName) {
                continue;
            }
            if (!service.answers) {
                const std::lock_guard lock(fake.mutex_);
                fake.unanswered_[cancel] = {request->pResolveCompletionCallback,
                                            request->pQueryContext};
                return DnsapiCalls::RequestPending;
            }
            auto* made = new FakeInstance;
            ++fake.made;
            DNS_SERVICE_INSTANCE& instance = made->instance;
            instance.pszInstanceName = service.fullName.data();
            instance.pszHostName = const_cast<PWSTR>(service.host);
            instance.ip4Address = service.ip4 ? &*service.ip4 : nullptr;
            instance.ip6Address = service.ip6 ? &*service.ip6 : nullptr;
            instance.wPort = service.port;
            for (auto& [key, value] : service.txt) {
                made->keys.push_back(key.data());
                made->values.push_back(const_cast<PWSTR>(value));
            }
            instance.dwPropertyCount = static_cast<DWORD>(made->keys.size());
            instance.keys = made->keys.data();
            instance.values = made->values.data();
            instance.dwInterfaceIndex = service.interfaceIndex;
            request->pResolveCompletionCallback(service.status, request->pQueryContext,
                                                &made->instance);
        }
        return DnsapiCalls::RequestPending;
    }
    static DNS_STATUS WINAPI BrowseCancel(PDNS_SERVICE_CANCEL) {
        ++current->browseCancels;
        return ERROR_SUCCESS;
    }
    static DNS_STATUS WINAPI ResolveCancel(PDNS_SERVICE_CANCEL cancel) {
        FakeDnsapi& fake = *current;
        const std::lock_guard lock(fake.mutex_);
        ++fake.resolveCancels;
        const auto [callback, context] = fake.unanswered_.at(cancel);
        fake.threads_.emplace_back(
            [callback, context] { callback(ERROR_CANCELLED, context, nullptr); });
        return ERROR_SUCCESS;
    }
    static VOID WINAPI FreeInstance(PDNS_SERVICE_INSTANCE instance) {
        ++current->freed;
        delete reinterpret_cast<FakeInstance*>(instance);
    }
    static VOID WINAPI Free(PVOID list, DNS_FREE_TYPE) {
        for (auto* record = static_cast<DNS_RECORDW*>(list); record != nullptr;) {
            delete std::exchange(record, record->pNext);
            ++current->freed;
        }
    }
};

struct Case {
    const char* what;
    std::vector<Announced> announced;
    // Each printer as "ADDRESS NAME MODEL".
    std::vector<std::string> printers;
    std::vector<std::string> notes = {};
};

TEST(WinDnssdSourceTest, AnnouncedInstancesBecomePrintersAndEveryQueryIsCancelledAndFreed) {
    const IP4_ADDRESS ip4 = 0x1401a8c0; // 192.168.1.20, network order
    const std::vector<Case> cases{
        {"IPP with its queue and model",
         {{L"_ipp._tcp",
           L"Front Desk._ipp._tcp.local",
           ERROR_SUCCESS,
           true,
           L"prn.local.",
           ip4,
           {},
           631,
           {{L"rp", L"ipp/print"}, {L"ty", L"Laser 5"}}}},
         {"ipp://prn.local:631/ipp/print Front Desk Laser 5"}},
        {"an escaped dot and a name beyond ASCII",
         {{L"_pdl-datastream._tcp", L"B\u00fcro 2\\.1._pdl-datastream._tcp.local."}},
         {"socket://prn.local:9100 B\xC3\xBCro 2.1 "}},
        {"no host name: the address it resolved to",
         {{L"_printer._tcp",
           L"Lab._printer._tcp.local",
           ERROR_SUCCESS,
           true,
           nullptr,
           ip4,
           {},
           515,
           {{L"rp", nullptr}}}},
         {"lpd://192.168.1.20:515/auto Lab "}},
        {"no host name, a link-local IPv6 address",
         {{L"_pdl-datastream._tcp",
           L"Lab._pdl-datastream._tcp.local",
           ERROR_SUCCESS,
           true,
           nullptr,
           {},
           IP6_ADDRESS{.IP6Byte = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
           9100,
           {},
           7}},
         {"socket://[fe80::1%7]:9100 Lab "}},
        {"announced twice, and under a type not browsed: resolved once",
         {{L"_ipp._tcp", L"Twin._ipp._tcp.local"},
          {L"_ipp._tcp", L"TWIN._IPP._TCP.local"},
          {L"_ipps._tcp", L"Stray._ipp._tcp.local"}},
         {"ipp://prn.local:9100/ipp/print Twin "}},
        {"does not resolve",
         {{L"_ipp._tcp", L"Gone._ipp._tcp.local", DNS_ERROR_RCODE_NAME_ERROR}},
         {},
         {"1 service was left out: it did not resolve to an address"}},
        {"never answers: cancelled at the deadline",
         {{L"_ipp._tcp", L"Mute._ipp._tcp.local", ERROR_SUCCESS, false}},
         {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        FakeDnsapi fake(test.announced);
        WinDnssdSource source(FakeDnsapi::Calls());
        std::vector<std::string> printers;
        std::atomic<bool> stop{false};
        const std::string why = source.Search(
            Clock::now() + (test.printers.empty() ? 1s : 60s), &stop,
            [&](const DiscoveredPrinter& printer) {
                printers.push_back(printer.address + " " + printer.name + " " + printer.model);
                stop = printers.size() == test.printers.size();
            });
        EXPECT_EQ(why, "");
        EXPECT_EQ(printers, test.printers);
        EXPECT_EQ(source.Notes(), test.notes);
        EXPECT_EQ(fake.resolves, 1);
        EXPECT_EQ(fake.browses, 4);
        EXPECT_EQ(fake.browseCancels, 4);
        EXPECT_EQ(fake.resolveCancels, test.announced.front().answers ? 0 : 1);
        fake.JoinCallbacks();
        EXPECT_EQ(fake.freed, fake.made);
    }
}

TEST(WinDnssdSourceTest, WithoutEveryCallTheSearchSaysItIsNotOnThisSystem) {
    using Removal = void (*)(DnsapiCalls&);
    for (const Removal remove :
         std::initializer_list<Removal>{[](DnsapiCalls& calls) { calls.browse = nullptr; },
                                        [](DnsapiCalls& calls) { calls.browseCancel = nullptr; },
                                        [](DnsapiCalls& calls) { calls.resolve = nullptr; },
                                        [](DnsapiCalls& calls) { calls.resolveCancel = nullptr; },
                                        [](DnsapiCalls& calls) { calls.freeInstance = nullptr; },
                                        [](DnsapiCalls& calls) { calls.free = nullptr; }}) {
        DnsapiCalls calls = FakeDnsapi::Calls();
        remove(calls);
        FakeDnsapi fake({});
        EXPECT_EQ(WinDnssdSource(calls).Search(Clock::now() + 60s, nullptr, {}),
                  "not on this system");
        EXPECT_EQ(fake.browses, 0);
    }
    // Wine's dnsapi.dll has none of the DNS-SD calls; Windows 10 1903 on has them all, and
    // then a search ends by its deadline.
    WinDnssdSource system(DnsapiLibrary::System());
    const std::string why = system.Search(Clock::now() + 200ms, nullptr, [](DiscoveredPrinter) {});
    EXPECT_EQ(why, DnsapiLibrary::System().Complete() ? "" : "not on this system");
}

} // namespace
