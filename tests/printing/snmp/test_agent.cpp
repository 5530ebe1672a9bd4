#include "tests/printing/snmp/test_agent.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kProgram = "/usr/sbin/snmpd";

// Binds a UDP socket to the family's loopback address and the port (0: any free one), then
// closes it; the port it had, 0 when it could not bind.
std::uint16_t BindOnce(int family, std::uint16_t port) {
    sockaddr_in v4{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    sockaddr_in6 v6{AF_INET6, htons(port), 0, in6addr_loopback, 0};
    sockaddr* address =
        family == AF_INET ? reinterpret_cast<sockaddr*>(&v4) : reinterpret_cast<sockaddr*>(&v6);
    socklen_t length = family == AF_INET ? sizeof v4 : sizeof v6;
    const int fd = socket(family, SOCK_DGRAM, 0);
    const bool bound =
        fd >= 0 && bind(fd, address, length) == 0 && getsockname(fd, address, &length) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return bound ? ntohs(family == AF_INET ? v4.sin_port : v6.sin6_port) : 0;
}

} // namespace

std::uint16_t UnusedUdpPort() {
    return BindOnce(AF_INET, 0);
}

bool TestAgent::Installed() {
    return access(kProgram, X_OK) == 0;
}

TestAgent::TestAgent(const std::vector<std::string>& objects)
    : TestAgent(objects, "127.0.0.1", 0) {}

TestAgent::TestAgent(const std::vector<std::string>& objects, const std::string& address,
                     std::uint16_t port) {
    std::string lines = "rocommunity public 127.0.0.1\nrocommunity6 public ::1\n"
                        "[snmp] persistentDir " +
                        dir_.File("persist") + "\n";
    for (const std::string& object : objects) {
        lines += "override 1.3.6.1.2.1." + object + "\n";
    }
    WriteBytes(dir_.File("snmpd.conf"), lines);
    port_ = port != 0 ? port : UnusedUdpPort();
    ipv6_ = port == 0 && BindOnce(AF_INET6, port_) != 0;
    const std::string portText = std::to_string(port_);
    const std::string where =
        "udp:" + address + ":" + portText + (ipv6_ ? ",udp6:[::1]:" + portText : "");
    const std::string log = dir_.File("log"), config = dir_.File("snmpd.conf");
    const std::string pid = dir_.File("pid");
    const char* const argv[] = {kProgram,       "-f", "-Lf",       log.c_str(),   "-C",   "-c",
                                config.c_str(), "-p", pid.c_str(), where.c_str(), nullptr};
    WriteBytes(log, "");
    // posix_spawn takes the arguments as char* const[] for C's sake and leaves them be.
    if (posix_spawn(&child_, kProgram, nullptr, nullptr, const_cast<char* const*>(argv), environ) !=
        0) {
        child_ = -1;
        throw std::runtime_error("cannot start snmpd");
    }
    // snmpd logs its version once it listens, and ends at once when it cannot; only a hang
    // takes a minute.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ReadBytes(log).find("NET-SNMP version") == std::string::npos) {
        int status = 0;
        if (waitpid(child_, &status, WNOHANG) != 0) {
            child_ = -1; // ended, and reaped
        }
        if (child_ < 0 || std::chrono::steady_clock::now() > deadline) {
            Stop();
            throw std::runtime_error("snmpd did not come up: " + ReadBytes(log));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TestAgent::~TestAgent() {
    Stop();
}

void TestAgent::Stop() {
    if (child_ <= 0) {
        return;
    }
    kill(child_, SIGTERM);
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
}
