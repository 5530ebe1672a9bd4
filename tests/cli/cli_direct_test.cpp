// tolvenmark-cli sending to printer addresses: a real loopback listener and a FIFO as the
// printers, the program as the user runs it.
#include "tests/support/loopback_listener.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return RunProgram(TOLVENMARK_CLI, arguments);
}

std::string ReadAllFrom(int descriptor) {
    std::string bytes;
    char buffer[65536];
    ssize_t count = 0;
    while ((count = read(descriptor, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

// A printer on 127.0.0.1 that takes one connection and keeps what it is sent.
class SocketPrinter {
public:
    SocketPrinter() {
        thread_ = std::thread([this] {
            const int connection = listener_.Accept();
            received_ = ReadAllFrom(connection);
            close(connection);
        });
    }
    ~SocketPrinter() {
        listener_.Shutdown();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::string Address() const { return listener_.Address(); }
    std::string Received() {
        thread_.join();
        return received_;
    }

private:
    LoopbackListener listener_;
    std::string received_;
    std::thread thread_;
};

std::string AllByteValues() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

TEST(CliDirectTest, AFileReachesASocketPrinterByteForByte) {
    TempDir temp;
    const std::string data = AllByteValues() + std::string(70000, '\0') + AllByteValues();
    WriteBytes(temp.File("job.prn"), data);
    SocketPrinter printer;
    const ProgramResult result = Cli({"print", "-P", printer.Address(), temp.File("job.prn")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "sent to " + printer.Address() + " (1 file(s))\n");
    EXPECT_EQ(printer.Received(), data);
}

TEST(CliDirectTest, CodesReachADeviceThroughItsFifo) {
    TempDir temp;
    const std::string fifo = temp.File("printer");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        const int descriptor = open(fifo.c_str(), O_RDONLY);
        received = ReadAllFrom(descriptor);
        close(descriptor);
    });
    // The device is opened only when a program reads it: wait until the reader is there.
    ProgramResult result;
    for (int attempt = 0; attempt < 100; ++attempt) {
        result = Cli({"send", "--timeout", "2", "-P", "file:" + fifo, "<ESC>E<CR><LF>\xFF"});
        if (result.exitCode == 0) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    reader.join();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(received, "\x1B"
                        "E\r\n\xFF");
}

TEST(CliDirectTest, AMalformedOrUnreachableAddressSendsNothingAndSaysWhy) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"send", "-P", "socket://127.0.0.1:99999", "x"}, "the port 99999 is out of range"},
        {{"send", "-P", "lpd://127.0.0.1", "x"}, "needs a queue name"},
        {{"send", "-P", "gopher://h", "x"}, "the scheme \"gopher\" is not known"},
        {{"send", "--timeout", "2", "-P", "socket://no-such-host.invalid", "x"}, "host unknown"},
    };
    for (const auto& [arguments, reason] : cases) {
        const ProgramResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[3];
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    }
}

} // namespace
