#include "printing/net/socket_spooler.h"
#include "tests/printing/net/loopback_peer.h"
#include "tests/support/temp_dir.h"

#include <asio/read.hpp>
#include <asio/write.hpp>
#include <chrono>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

PrinterAddress Address(const std::string& text) {
    return *PrinterAddress::Parse(text).address;
}

std::string SocketAddress(const std::string& host, std::uint16_t port) {
    return "socket://" + host + ":" + std::to_string(port);
}

DirectOptions QuickOptions() {
    DirectOptions options;
    options.connectTimeout = 2s;
    options.stallTimeout = 1s;
    return options;
}

// Sends the bytes as one job in chunks of chunkSize, through every step.
bool SendJob(Spooler& spooler, const std::string& address, std::string_view bytes,
             std::size_t chunkSize) {
    bool sent = spooler.OpenPrinter(address) && spooler.StartDocument("Tolvenmark Document") &&
                spooler.StartPage();
    for (std::size_t offset = 0; sent && offset < bytes.size(); offset += chunkSize) {
        sent = spooler.Write(bytes.substr(offset, chunkSize));
    }
    sent = sent && spooler.EndPage() && spooler.EndDocument();
    spooler.ClosePrinter();
    return sent;
}

std::string NulRichBytes() {
    std::string bytes = PatternBytes(1 << 20);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        bytes[i] = '\0';
    }
    return bytes;
}

TEST(SocketSpoolerTest, PrinterReceivesEveryByteAsSent) {
    const struct {
        const char* name;
        const char* host;
        std::string bytes;
        std::size_t chunkSize;
        std::size_t talkBack; // bytes the printer sends back before it reads anything
    } cases[] = {
        {"all byte values", "127.0.0.1", AllByteValues(), 256, 0},
        {"NUL-rich file", "127.0.0.1", NulRichBytes(), 4096, 0},
        {"64 MiB from a printer that talks back", "127.0.0.1", PatternBytes(64 << 20), 1 << 20,
         8 << 20},
        {"IPv6 loopback", "::1", AllByteValues(), 16, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string received;
        std::string ending;
        LoopbackPeer printer(c.host, [&](asio::ip::tcp::socket& socket, LoopbackPeer&) {
            asio::write(socket, asio::buffer(std::string(c.talkBack, 'S')));
            ending = ReadToEnd(socket, received);
        });
        const std::string host = c.host == std::string("::1") ? "[::1]" : c.host;
        const std::string address = SocketAddress(host, printer.Port());
        SocketSpooler spooler(Address(address), QuickOptions());

        const bool sent = SendJob(spooler, address, c.bytes, c.chunkSize);
        printer.Join();

        EXPECT_TRUE(sent) << spooler.LastError();
        EXPECT_EQ(ending, "eof");
        EXPECT_TRUE(received == c.bytes) << received.size() << " of " << c.bytes.size();
    }
}

TEST(SocketSpoolerTest, UnreachablePrinterFailsAtOpenAndEveryLaterStep) {
    const struct {
        std::string address;
        const char* reason;
    } cases[] = {
        {SocketAddress("127.0.0.1", ClosedPort()), "connection refused"},
        {"socket://printer.tolvenmark.invalid", "host unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        SocketSpooler spooler(Address(c.address), QuickOptions());
        EXPECT_FALSE(spooler.OpenPrinter(c.address));
        EXPECT_NE(spooler.LastError().find("Could not connect"), std::string::npos);
        EXPECT_NE(spooler.LastError().find(c.reason), std::string::npos) << spooler.LastError();
        EXPECT_FALSE(spooler.StartDocument("x") || spooler.Write("abc") || spooler.EndDocument());
    }
}

// Printers that go wrong while a job is under way: each must end the job as a failure,
// in bounded time, with a message that says what happened.
TEST(SocketSpoolerTest, MisbehavingPrinterFailsTheJobInBoundedTime) {
    const struct {
        const char* name;
        LoopbackPeer::Part printer;
        std::size_t jobBytes;
        std::vector<const char*> expected;
    } cases[] = {
        {"resets midway",
         [](asio::ip::tcp::socket& socket, LoopbackPeer&) {
             std::string some(65536, '\0');
             asio::read(socket, asio::buffer(some));
             socket.set_option(asio::socket_base::linger(true, 0));
             socket.close();
         },
         32u << 20,
         {"Could not send to the printer at 127.0.0.1", "reset the connection after "}},
        {"stops reading",
         [](asio::ip::tcp::socket&, LoopbackPeer& peer) { peer.WaitForRelease(); },
         64u << 20,
         {"Could not send to", "timed out after 1 s", "bytes had reached the printer"}},
        {"never closes after the end of the job",
         [](asio::ip::tcp::socket& socket, LoopbackPeer& peer) {
             std::string received;
             ReadToEnd(socket, received);
             peer.WaitForRelease();
         },
         1024,
         {"Could not complete the job on the printer at",
          "timed out after 1 s waiting for the printer to close",
          "1024 bytes had reached the printer"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackPeer printer("127.0.0.1", c.printer);
        const std::string address = SocketAddress("127.0.0.1", printer.Port());
        SocketSpooler spooler(Address(address), QuickOptions());

        const auto start = Clock::now();
        EXPECT_FALSE(SendJob(spooler, address, PatternBytes(c.jobBytes), 65536));
        EXPECT_LT(Clock::now() - start, 3s);
        for (const char* text : c.expected) {
            EXPECT_NE(spooler.LastError().find(text), std::string::npos) << spooler.LastError();
        }
    }
}

TEST(SocketSpoolerTest, CancelledJobReachesThePrinterAsAReset) {
    std::string received;
    std::string ending;
    LoopbackPeer printer("127.0.0.1", [&](asio::ip::tcp::socket& socket, LoopbackPeer&) {
        ending = ReadToEnd(socket, received);
    });
    const std::string address = SocketAddress("127.0.0.1", printer.Port());
    SocketSpooler spooler(Address(address), QuickOptions());
    ASSERT_TRUE(spooler.OpenPrinter(address) && spooler.StartDocument("d") && spooler.StartPage() &&
                spooler.Write("first part"));

    spooler.CancelDocument();
    printer.Join();

#ifdef _WIN32
    // Under wine an abortive close now and then reaches the peer as an orderly one, when
    // other tests load the machine; the job must still never count as printed.
    EXPECT_TRUE(ending == "reset" || ending == "eof") << ending;
#else
    EXPECT_EQ(ending, "reset");
#endif
    EXPECT_FALSE(spooler.Write("more") || spooler.EndDocument());
    EXPECT_EQ(spooler.LastError(), "The job was cancelled because its data could not be read.");
}

} // namespace
