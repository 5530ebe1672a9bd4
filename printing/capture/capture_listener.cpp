#include "printing/capture/capture_listener.h"

#include "printing/capture/capture_report.h"
#include "printing/capture/capture_session.h"
#include "printing/capture/give_way.h"
#include "printing/capture/job_folder.h"
#include "printing/capture/printer_emulator.h"
#include "printing/capture/printer_state_file.h"

#include <algorithm>
#include <array>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/ip/v6_only.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>
#include <csignal>
#include <map>
#include <optional>
#include <stdexcept>

namespace {

struct Acceptor {
    Acceptor(asio::io_context& io, CaptureOptions::Protocol protocol)
        : socket(io), retryTimer(io), protocol(protocol) {}
    asio::ip::tcp::acceptor socket;
    // Wakes a paused acceptor, or tries again after a failed accept.
    asio::steady_timer retryTimer;
    CaptureOptions::Protocol protocol;
    bool accepting = false; // an accept in flight
    bool paused = false;    // every place taken, and nobody gives way yet
};

std::string ProtocolName(CaptureOptions::Protocol protocol) {
    return protocol == CaptureOptions::Protocol::Lpd ? "LPD" : "socket";
}

} // namespace

struct CaptureListener::State {
    State(const CaptureOptions& options, CaptureReport& report)
        : options(options), report(report), giveWay(options.giveWayAfter),
          signals(io, SIGINT, SIGTERM), graceTimer(io) {}

    void Open(const CaptureOptions::Endpoint& endpoint);
    bool Full() const;
    CaptureSession* WhoGivesWay(GiveWay::Clock::time_point now) const;
    GiveWay::Clock::time_point NextGivingWay() const;
    void Accept(Acceptor& acceptor);
    void OnAccepted(Acceptor& acceptor, const std::error_code& error, asio::ip::tcp::socket socket);
    bool MakeRoom();
    std::unique_ptr<PrinterEmulator> EmulatorFor(CaptureOptions::Protocol protocol);
    Emulation::State EmulatedState();
    void OnSessionEnded(CaptureSession* session);
    void Stop(int signal);

    const CaptureOptions& options;
    CaptureReport& report;
    const GiveWay giveWay;
    // Every session reads into this one buffer, on this one thread.
    std::array<char, 64 * 1024> readBuffer{};
    asio::io_context io;
    asio::signal_set signals;
    asio::steady_timer graceTimer;
    std::optional<JobFolder> folder;
    // The emulated printer's state, when a file gives it; one for every connection.
    std::optional<PrinterStateFile> stateFile;
    std::vector<std::unique_ptr<Acceptor>> acceptors;
    std::map<CaptureSession*, std::shared_ptr<CaptureSession>> sessions;
    bool stopping = false;
    int stopSignal = 0;
};

void CaptureListener::State::Open(const CaptureOptions::Endpoint& endpoint) {
    const std::string where =
        ProtocolName(endpoint.protocol) + " " +
        (endpoint.address.find(':') != std::string::npos ? "[" + endpoint.address + "]"
                                                         : endpoint.address) +
        ":" + std::to_string(endpoint.port);
    std::error_code error;
    const asio::ip::address address = asio::ip::make_address(endpoint.address, error);
    if (error) {
        throw std::runtime_error("cannot listen on " + where + ": not an IP address");
    }
    auto acceptor = std::make_unique<Acceptor>(io, endpoint.protocol);
    const asio::ip::tcp::endpoint local(address, endpoint.port);
    acceptor->socket.open(local.protocol(), error);
    if (!error && address.is_v6()) {
        acceptor->socket.set_option(asio::ip::v6_only(true), error);
    }
#ifndef _WIN32
    // A restarted capture may take its port back at once. (On Windows the same option
    // would let two programs share the port.)
    if (!error) {
        acceptor->socket.set_option(asio::socket_base::reuse_address(true), error);
    }
#endif
    if (!error) {
        acceptor->socket.bind(local, error);
    }
    if (!error) {
        acceptor->socket.listen(asio::socket_base::max_listen_connections, error);
    }
    if (error) {
        throw std::runtime_error("cannot listen on " + where + ": " + error.message());
    }
    report.Listening(ProtocolName(endpoint.protocol) + " " +
                     EndpointText(acceptor->socket.local_endpoint()));
    acceptors.push_back(std::move(acceptor));
}

bool CaptureListener::State::Full() const {
    return sessions.size() >= std::max<std::size_t>(options.maxConnections, 1);
}

// The session that gives way first, if any does at `now`.
CaptureSession* CaptureListener::State::WhoGivesWay(GiveWay::Clock::time_point now) const {
    CaptureSession* first = nullptr;
    for (const auto& [session, kept] : sessions) {
        if (giveWay.YieldsAt(session->Progress()) <= now &&
            (first == nullptr ||
             GiveWay::GoesBefore(session->Progress(), first->Progress(), now))) {
            first = session;
        }
    }
    return first;
}

// When the first session gives way, if none sends another byte meanwhile.
GiveWay::Clock::time_point CaptureListener::State::NextGivingWay() const {
    auto next = GiveWay::Clock::time_point::max();
    for (const auto& [session, kept] : sessions) {
        next = std::min(next, giveWay.YieldsAt(session->Progress()));
    }
    return next;
}

void CaptureListener::State::Accept(Acceptor& acceptor) {
    if (stopping || acceptor.accepting) {
        return;
    }
    if (Full() && WhoGivesWay(GiveWay::Clock::now()) == nullptr) {
        // Newcomers wait in the system's accept queue until a session ends (OnSessionEnded)
        // or the first one gives way.
        acceptor.paused = true;
        acceptor.retryTimer.expires_at(NextGivingWay());
        acceptor.retryTimer.async_wait([this, &acceptor](const std::error_code& cancelled) {
            if (!cancelled) {
                Accept(acceptor);
            }
        });
        return;
    }
    acceptor.paused = false;
    acceptor.retryTimer.cancel();
    acceptor.accepting = true;
    acceptor.socket.async_accept(
        [this, &acceptor](const std::error_code& error, asio::ip::tcp::socket socket) {
            OnAccepted(acceptor, error, std::move(socket));
        });
}

void CaptureListener::State::OnAccepted(Acceptor& acceptor, const std::error_code& error,
                                        asio::ip::tcp::socket socket) {
    acceptor.accepting = false;
    if (stopping) {
        return;
    }
    if (error) {
        // Out of descriptors, or a connection gone before it was taken: try again soon
        // rather than in a tight loop.
        acceptor.retryTimer.expires_after(std::chrono::milliseconds(100));
        acceptor.retryTimer.async_wait([this, &acceptor](const std::error_code& cancelled) {
            if (!cancelled) {
                Accept(acceptor);
            }
        });
        return;
    }
    if (!MakeRoom()) {
        std::error_code ignored;
        socket.set_option(asio::socket_base::linger(true, 0), ignored);
        socket.close(ignored);
        Accept(acceptor);
        return;
    }
    auto session = std::make_shared<CaptureSession>(
        std::move(socket), acceptor.protocol, *folder, options, report, readBuffer,
        EmulatorFor(acceptor.protocol), [this](CaptureSession* ended) { OnSessionEnded(ended); });
    sessions.emplace(session.get(), session);
    session->Start();
    Accept(acceptor);
}

// The newcomer takes the place of the session that gives way. Should none do so any more
// (it sent a byte since the accept began), the newcomer is taken all the same, up to one
// place beyond the limit for each endpoint; beyond that it is turned away.
bool CaptureListener::State::MakeRoom() {
    if (!Full()) {
        return true;
    }
    const auto now = GiveWay::Clock::now();
    if (CaptureSession* leaving = WhoGivesWay(now)) {
        leaving->CutOff(giveWay.Reason(leaving->Progress(), now));
        return true;
    }
    return sessions.size() < std::max<std::size_t>(options.maxConnections, 1) + acceptors.size();
}

// Each socket connection talks to a printer of its own, in the one state they all share. LPD
// carries no replies.
std::unique_ptr<PrinterEmulator>
CaptureListener::State::EmulatorFor(CaptureOptions::Protocol protocol) {
    if (protocol != CaptureOptions::Protocol::Socket || !options.emulation.language) {
        return nullptr;
    }
    return std::make_unique<PrinterEmulator>(
        *options.emulation.language, [this] { return EmulatedState(); }, options.emulation.hold,
        PrinterEmulator::Clock::now());
}

Emulation::State CaptureListener::State::EmulatedState() {
    return stateFile ? stateFile->Read() : options.emulation.state;
}

void CaptureListener::State::OnSessionEnded(CaptureSession* session) {
    sessions.erase(session);
    if (stopping) {
        if (sessions.empty()) {
            graceTimer.cancel();
        }
        return;
    }
    for (const auto& acceptor : acceptors) {
        if (acceptor->paused) {
            Accept(*acceptor);
        }
    }
}

void CaptureListener::State::Stop(int signal) {
    stopping = true;
    stopSignal = signal;
    for (const auto& acceptor : acceptors) {
        std::error_code ignored;
        acceptor->socket.close(ignored);
        acceptor->retryTimer.cancel();
    }
    if (sessions.empty()) {
        return;
    }
    graceTimer.expires_after(options.stopGrace);
    graceTimer.async_wait([this](const std::error_code& error) {
        if (error) {
            return;
        }
        // Ending a session takes it out of the map: end them from a copy.
        const auto left = sessions;
        for (const auto& [pointer, session] : left) {
            session->CutOff("the capture was stopped before the job was whole");
        }
    });
}

CaptureListener::CaptureListener(const CaptureOptions& options, CaptureReport& report)
    : state_(std::make_unique<State>(options, report)) {}

CaptureListener::~CaptureListener() = default;

void CaptureListener::Listen() {
    state_->folder.emplace(state_->options.dir);
    if (!state_->options.emulation.stateFile.empty()) {
        state_->stateFile.emplace(state_->options.emulation.stateFile,
                                  state_->options.emulation.state);
    }
    for (const CaptureOptions::Endpoint& endpoint : state_->options.endpoints) {
        state_->Open(endpoint);
    }
}

std::vector<CaptureOptions::Endpoint> CaptureListener::Endpoints() const {
    std::vector<CaptureOptions::Endpoint> endpoints;
    for (const auto& acceptor : state_->acceptors) {
        std::error_code error;
        const asio::ip::tcp::endpoint local = acceptor->socket.local_endpoint(error);
        if (!error) {
            endpoints.push_back({acceptor->protocol, local.address().to_string(), local.port()});
        }
    }
    return endpoints;
}

int CaptureListener::Run() {
    State& state = *state_;
    state.signals.async_wait([&state](const std::error_code& error, int signal) {
        if (!error) {
            state.Stop(signal);
        }
    });
    for (const auto& acceptor : state.acceptors) {
        state.Accept(*acceptor);
    }
    state.io.run();
    return state.stopSignal;
}
