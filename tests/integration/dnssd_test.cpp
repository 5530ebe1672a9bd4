#include "printing/dnssd/avahi_host_lookup.h"
#include "printing/dnssd/dnssd_advertisement.h"
#include "printing/dnssd/dnssd_source.h"
#include "tests/support/capture_process.h"
#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/spawned_program.h"
#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <netdb.h>
#include <sys/wait.h>
#include <unistd.h>

// The responder is a private avahi-daemon on loopback with a D-Bus bus of its own, which
// ctest starts before these tests (scripts/test-avahi) in TOLVENMARK_DNSSD_DIR; its host
// name, published with 127.0.0.1, is in DIR/host-name. This machine has no multicast DNS
// in its own resolver, so a ".local" name that prints was looked up through Avahi. Other
// responders on loopback are heard too: every name a test publishes ends in its process id.
namespace {

using Clock = std::chrono::steady_clock;

// Long enough for a loaded machine; only a hang waits this long.
constexpr auto Patience = std::chrono::seconds(60);

// A service published by avahi-publish-service for as long as the object lives.
class Publication {
public:
    explicit Publication(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "avahi-publish-service");
        try {
            child_ = SpawnProgram(std::move(arguments));
        } catch (const std::runtime_error&) {
            child_ = -1; // nothing published: the test that waits for it says so
        }
    }
    ~Publication() {
        if (child_ > 0) {
            kill(child_, SIGTERM);
            waitpid(child_, nullptr, 0);
        }
    }
    Publication(const Publication&) = delete;
    Publication& operator=(const Publication&) = delete;

private:
    pid_t child_ = -1;
};

// The name with this process's id, so that no other program's service takes it.
std::string Unique(const std::string& name) {
    return name + " " + std::to_string(getpid());
}

// The name as avahi-browse -p writes it: a blank as \032, "#" as \035.
std::string Browsed(const std::string& name) {
    std::string written;
    for (const char c : name) {
        written += c == ' ' ? "\\032" : c == '#' ? "\\035" : std::string(1, c);
    }
    return ";" + written + ";";
}

bool Required() {
    const char* required = std::getenv("TOLVENMARK_REQUIRE_SPOOLER");
    return required != nullptr && std::string(required) == "1";
}

bool OnPath(const std::string& program) {
    return RunProgram("sh", {"-c", "command -v " + program}).exitCode == 0;
}

// Searches until `enough` holds for what was found, or for as long as a hang would take.
std::vector<DiscoveredPrinter>
Search(const std::function<bool(const std::vector<DiscoveredPrinter>&)>& enough,
       std::string& reason) {
    std::vector<DiscoveredPrinter> printers;
    std::atomic<bool> stop{false};
    DnssdSource source;
    reason = source.Search(Clock::now() + Patience, &stop, [&](DiscoveredPrinter printer) {
        printers.push_back(std::move(printer));
        stop = enough(printers);
    });
    return printers;
}

const DiscoveredPrinter* Named(const std::vector<DiscoveredPrinter>& printers,
                               const std::string& name, const std::string& scheme) {
    for (const DiscoveredPrinter& printer : printers) {
        if (printer.name == name && printer.address.starts_with(scheme + "://")) {
            return &printer;
        }
    }
    return nullptr;
}

class DnssdTest : public testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("TOLVENMARK_DNSSD_DIR");
        dir_ = dir != nullptr ? dir : "";
        std::string why;
        if (dir == nullptr || !std::filesystem::exists(dir_ + "/host-name")) {
            why = "no DNS-SD responder runs (run the tests through ctest, as root, with Debian "
                  "packages dbus and avahi-daemon installed)";
        } else if (!OnPath("avahi-publish-service") || !OnPath("avahi-browse")) {
            why = "avahi-publish-service and avahi-browse are missing (Debian avahi-utils)";
        }
        if (!why.empty()) {
            if (Required()) {
                FAIL() << why;
            }
            GTEST_SKIP() << why;
        }
        host_ = ReadBytes(dir_ + "/host-name");
        host_ = host_.substr(0, host_.find('\n'));
        bus_.emplace("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + dir_ + "/bus").c_str());
    }

    std::string dir_;
    std::string host_;
    std::optional<ScopedEnvironment> bus_;
};

TEST_F(DnssdTest, PublishedPrintersAreFoundWithTheirAddressesAndWhatTheySay) {
    struct Case {
        std::string name;
        std::vector<std::string> publish; // type, port, TXT strings
        std::string address;              // after HOST
        std::string model;
        std::vector<std::string> languages;
        std::string location = {};
        std::string uuid = {};
    };
    const std::string odd = std::string("A\x1b[2J\xff") + std::string(240, 'n');
    const std::vector<Case> cases{
        {Unique("Tolvenmark Raw"),
         {"_pdl-datastream._tcp", "9100", "txtvers=1", "ty=Acme Label 1",
          "pdl=application/vnd.hp-PCL,application/x-zpl"},
         "socket://HOST:9100",
         "Acme Label 1",
         {"PCL", "ZPL"}},
        {Unique("Tolvenmark LPD"),
         {"_printer._tcp", "515", "rp=labels"},
         "lpd://HOST:515/labels",
         "",
         {}},
        {Unique("Tolvenmark IPP"),
         {"_ipp._tcp", "631", "rp=ipp/print", "product=(Acme Laser)",
          "pdl=application/pdf,image/urf", "note=Room 3",
          "UUID=6d4ea1a4-7a8c-4b7e-9a38-0fd4d4e90a11"},
         "ipp://HOST:631/ipp/print",
         "Acme Laser",
         {"PDF", "Apple raster"},
         "Room 3",
         "6d4ea1a4-7a8c-4b7e-9a38-0fd4d4e90a11"},
        {Unique("Tolvenmark IPPS"), {"_ipps._tcp", "8443"}, "ipps://HOST:8443/ipp/print", "", {}},
        {Unique("Tolvenmark Odd"),
         {"_pdl-datastream._tcp", "9101", "ty=" + odd, "note"},
         "socket://HOST:9101",
         odd,
         {}},
    };
    std::vector<std::unique_ptr<Publication>> published;
    for (const Case& c : cases) {
        std::vector<std::string> arguments{c.name};
        arguments.insert(arguments.end(), c.publish.begin(), c.publish.end());
        published.push_back(std::make_unique<Publication>(arguments));
    }
    // Its host has no address: it is never handed over.
    published.push_back(std::make_unique<Publication>(
        std::vector<std::string>{"-H", "tolvenmark-nowhere.local", Unique("Tolvenmark Nowhere"),
                                 "_pdl-datastream._tcp", "9102"}));

    std::string reason;
    const std::vector<DiscoveredPrinter> printers = Search(
        [&cases](const std::vector<DiscoveredPrinter>& found) {
            return std::all_of(cases.begin(), cases.end(), [&found](const Case& c) {
                return Named(found, c.name, c.address.substr(0, c.address.find(':'))) != nullptr;
            });
        },
        reason);
    EXPECT_EQ(reason, "");
    for (const Case& c : cases) {
        const DiscoveredPrinter* printer =
            Named(printers, c.name, c.address.substr(0, c.address.find(':')));
        ASSERT_NE(printer, nullptr) << c.name << " was not found";
        std::string address = c.address;
        address.replace(address.find("HOST"), 4, host_);
        EXPECT_EQ(printer->address, address) << c.name;
        EXPECT_EQ(printer->model, c.model) << c.name;
        EXPECT_EQ(printer->languages, c.languages) << c.name;
        EXPECT_EQ(printer->location, c.location) << c.name;
        EXPECT_EQ(printer->uuid, c.uuid) << c.name;
        EXPECT_EQ(printer->problem, "") << c.name;
        EXPECT_EQ(printer->foundBy, std::vector<std::string>{"DNS-SD"}) << c.name;
        // What the name was resolved to, for the rows to meet the same printer found by
        // its address.
        EXPECT_EQ(printer->hostAddresses, std::vector<std::string>{"127.0.0.1"}) << c.name;
    }
    for (const DiscoveredPrinter& printer : printers) {
        EXPECT_NE(printer.name, Unique("Tolvenmark Nowhere")) << printer.address;
    }
}

// The capture announces itself, is found by avahi-browse and by the source, takes a job
// sent to the ".local" address the source reports, and is gone once it stops. A second
// capture that asks for the same name gets Avahi's alternative.
TEST_F(DnssdTest, AdvertisedCaptureIsFoundPrintedToAndWithdrawn) {
    const std::string name = Unique("Tolvenmark Capture");
    auto capture = std::make_unique<CaptureProcess>(TOLVENMARK_CLI,
                                                    std::vector<std::string>{"--advertise", name});
    ASSERT_TRUE(capture->WaitForErr("advertised as \"" + name + "\"")) << capture->Err();
    CaptureProcess second(TOLVENMARK_CLI, {"--advertise", name});
    ASSERT_TRUE(second.WaitForErr("advertised as \"" + name + " #2\"")) << second.Err();
    EXPECT_NE(second.Err().find("the name \"" + name + "\" is taken"), std::string::npos);

    const std::string txt = "\"txtvers=1\" \"qtotal=1\" ";
    const std::vector<std::pair<std::string, std::string>> browsed{
        {"_pdl-datastream._tcp", ";" + std::to_string(capture->SocketPort()) + ";" + txt +
                                     "\"ty=Tolvenmark capture\" \"pdl=application/octet-stream\""},
        {"_printer._tcp", ";" + std::to_string(capture->LpdPort()) + ";" + txt +
                              "\"rp=auto\" \"ty=Tolvenmark capture\" "
                              "\"pdl=application/octet-stream\""},
    };
    for (const auto& [type, record] : browsed) {
        const ProgramResult browse = RunProgram("avahi-browse", {"-rpt", type});
        EXPECT_NE(browse.out.find(Browsed(name)), std::string::npos) << browse.out;
        EXPECT_NE(browse.out.find(";" + host_ + ";"), std::string::npos) << browse.out;
        EXPECT_NE(browse.out.find(record), std::string::npos) << browse.out;
    }

    std::string reason;
    const std::vector<DiscoveredPrinter> printers = Search(
        [&name](const std::vector<DiscoveredPrinter>& found) {
            return Named(found, name, "socket") && Named(found, name, "lpd");
        },
        reason);
    ASSERT_EQ(reason, "");
    const DiscoveredPrinter* raw = Named(printers, name, "socket");
    const DiscoveredPrinter* lpd = Named(printers, name, "lpd");
    ASSERT_TRUE(raw != nullptr && lpd != nullptr);
    EXPECT_EQ(raw->address, "socket://" + host_ + ":" + std::to_string(capture->SocketPort()));
    EXPECT_EQ(lpd->address, "lpd://" + host_ + ":" + std::to_string(capture->LpdPort()) + "/auto");
    EXPECT_EQ(raw->model, "Tolvenmark capture");

    // This machine's own resolver does not know the name: what prints was found by Avahi.
    addrinfo* found = nullptr;
    EXPECT_NE(getaddrinfo(host_.c_str(), nullptr, nullptr, &found), 0);
    if (found != nullptr) {
        freeaddrinfo(found);
    }
    const std::string job = AllByteValues() + "\x1B"
                                              "E";
    int number = 0;
    for (const DiscoveredPrinter* printer : {raw, lpd}) {
        const ProgramResult print =
            RunProgram(TOLVENMARK_CLI, {"print", "-P", printer->address, "-q", "-"}, job);
        ASSERT_EQ(print.exitCode, 0) << printer->address << ": " << print.err;
        EXPECT_EQ(capture->Job(++number), job) << printer->address;
    }

    EXPECT_EQ(capture->Stop(), 0);
    capture.reset();
    const auto deadline = Clock::now() + Patience;
    std::string listed;
    do {
        listed = RunProgram("avahi-browse", {"-pt", "_pdl-datastream._tcp"}).out;
    } while (listed.find(Browsed(name)) != std::string::npos && Clock::now() < deadline);
    EXPECT_EQ(listed.find(Browsed(name)), std::string::npos) << listed;
    EXPECT_NE(listed.find(Browsed(name + " #2")), std::string::npos) << listed;
}

// Without a daemon every use of DNS-SD says so at once, in Avahi's words, and capture
// still takes jobs.
TEST(DnssdWithoutDaemonTest, EachUseSaysWhyAtOnce) {
    const TempDir dir;
    const ScopedEnvironment bus("DBUS_SYSTEM_BUS_ADDRESS",
                                ("unix:path=" + dir.File("no-bus")).c_str());
    struct Case {
        const char* what;
        std::function<std::string()> reason;
    };
    const std::vector<Case> cases{
        {"search",
         [] {
             return DnssdSource().Search(Clock::now() + Patience, nullptr,
                                         [](DiscoveredPrinter) {});
         }},
        {"host lookup", [] { return AvahiHostLookup::Find("printer.local", Patience).failure; }},
        {"advertisement",
         [] { return DnssdAdvertisement("Tolvenmark", {}, [](const std::string&) {}).Failure(); }},
        {"capture",
         [] {
             CaptureProcess capture(TOLVENMARK_CLI, {"--advertise", "Tolvenmark"});
             capture.WaitForErr("not advertised");
             const ProgramResult print = RunProgram(
                 TOLVENMARK_CLI,
                 {"print", "-P", "socket://127.0.0.1:" + std::to_string(capture.SocketPort()), "-q",
                  "-"},
                 "job");
             return print.exitCode == 0 && capture.Job(1) == "job" ? capture.Err()
                                                                   : "no job: " + print.err;
         }},
    };
    for (const Case& c : cases) {
        const auto started = Clock::now();
        const std::string reason = c.reason();
        EXPECT_LT(Clock::now() - started, Patience / 2) << c.what;
        EXPECT_NE(reason.find("the Avahi daemon could not be reached ("), std::string::npos)
            << c.what << ": " << reason;
    }
}

} // namespace
