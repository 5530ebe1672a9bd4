#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

// A TCP listener on 127.0.0.1 and a free port, for a test's own printer; shut down and
// closed when it goes, so a thread waiting in accept() returns.
class LoopbackListener {
public:
    LoopbackListener() {
        descriptor_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(descriptor_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(descriptor_, 4) != 0 ||
            getsockname(descriptor_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            close(descriptor_);
            throw std::runtime_error("no loopback listener");
        }
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() { close(descriptor_); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    // The next connection, or -1 once the listener was shut down.
    int Accept() const { return accept(descriptor_, nullptr, nullptr); }
    // Ends a wait in Accept.
    void Shutdown() const { shutdown(descriptor_, SHUT_RDWR); }
    std::string Address() const { return "socket://127.0.0.1:" + std::to_string(port_); }

private:
    int descriptor_ = -1;
    unsigned port_ = 0;
};
