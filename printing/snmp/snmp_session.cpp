#include "printing/snmp/snmp_session.h"

#include "core/seconds_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <net-snmp/library/large_fd_set.h>
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <poll.h>
#include <string_view>
#include <utility>

namespace {

using Binding = SnmpSession::Binding;
using Kind = Binding::Kind;

// The library is set up once, by hand rather than with init_snmp: that one would read
// configuration files (which may send a host's requests elsewhere), load MIB files, set the
// program's locale and make folders under /var/lib/snmp, and none of it is needed for
// numeric requests under v1 and v2c. Its log goes nowhere: its words for a failure come
// back through the session.
void SetUpLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
        netsnmp_container_init_list();
        netsnmp_tdomain_init();
    });
}

std::timed_mutex& Library() {
    static std::timed_mutex library;
    return library;
}

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

bool IsIpv6Character(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
           c == '.';
}

std::string_view WithoutBrackets(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        return host.substr(1, host.size() - 2);
    }
    return host;
}

// The transport addresses net-snmp is given for the host, in the order to try: an IPv6
// literal over udp6 only; a name or IPv4 address over udp, then udp6 for a name only IPv6
// knows. Only names, addresses and an interface after % pass, so no other transport and no
// other host can be named through it. Nothing for any other host.
std::vector<std::string> TransportAddresses(std::string_view host, std::uint16_t port) {
    host = WithoutBrackets(host);
    if (host.empty() || host.size() > 253 || port == 0) {
        return {};
    }
    const std::string portText = ":" + std::to_string(port);
    if (host.find(':') != std::string_view::npos) {
        const std::size_t zone = host.find('%');
        const std::string_view address = host.substr(0, zone);
        const std::string_view interface =
            zone == std::string_view::npos ? "" : host.substr(zone + 1);
        if (!std::all_of(address.begin(), address.end(), IsIpv6Character) ||
            (zone != std::string_view::npos && interface.empty()) ||
            !std::all_of(interface.begin(), interface.end(), IsNameCharacter)) {
            return {};
        }
        return {"udp6:[" + std::string(host) + "]" + portText};
    }
    if (!std::all_of(host.begin(), host.end(), IsNameCharacter)) {
        return {};
    }
    return {"udp:" + std::string(host) + portText, "udp6:" + std::string(host) + portText};
}

std::string HostAndPort(const SnmpSession::Peer& peer) {
    const std::string_view host = WithoutBrackets(peer.host);
    const bool ipv6 = host.find(':') != std::string_view::npos;
    return (ipv6 ? "[" + std::string(host) + "]" : std::string(host)) + ":" +
           std::to_string(peer.port);
}

std::string TakeLibraryWords(char* words) {
    std::string text = words != nullptr ? words : "";
    std::free(words);
    return text;
}

struct PduDeleter {
    void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using Pdu = std::unique_ptr<netsnmp_pdu, PduDeleter>;

Binding BindingOf(const netsnmp_variable_list& variable, std::size_t textLimit) {
    Binding binding;
    binding.name.assign(variable.name, variable.name + variable.name_length);
    switch (variable.type) {
    case ASN_INTEGER:
        binding.kind = Kind::Integer;
        binding.integer = variable.val.integer != nullptr ? *variable.val.integer : 0;
        break;
    case ASN_OCTET_STR:
        binding.kind = Kind::Bytes;
        if (variable.val.string != nullptr) {
            binding.bytes.assign(reinterpret_cast<const char*>(variable.val.string),
                                 std::min(variable.val_len, textLimit));
        }
        break;
    case SNMP_NOSUCHOBJECT:
    case SNMP_NOSUCHINSTANCE:
        binding.kind = Kind::Missing;
        break;
    case SNMP_ENDOFMIBVIEW:
        binding.kind = Kind::EndOfView;
        break;
    default:
        binding.kind = Kind::Other;
        break;
    }
    return binding;
}

} // namespace

struct SnmpSession::Handle {
    void* session = nullptr;
    ~Handle() {
        if (session != nullptr) {
            snmp_sess_close(session);
        }
    }
};

SnmpSession::SnmpSession(const Peer& peer, std::chrono::milliseconds timeout, std::size_t textLimit)
    : peer_(peer), deadline_(Clock::now() + timeout), timeout_(timeout), textLimit_(textLimit),
      library_(Library(), std::defer_lock) {
    if (!library_.try_lock_until(deadline_)) {
        reason_ = "the SNMP library stayed busy with another printer for " + SecondsText(timeout_);
        return;
    }
    SetUpLibrary();
    Open();
}

SnmpSession::~SnmpSession() = default;

bool SnmpSession::Open() {
    const std::vector<std::string> addresses = TransportAddresses(peer_.host, peer_.port);
    if (addresses.empty()) {
        reason_ = "not a host name or address: " + peer_.host;
        return false;
    }
    for (const std::string& address : addresses) {
        netsnmp_session settings;
        snmp_sess_init(&settings);
        std::string peername = address;
        std::string community = peer_.community;
        settings.peername = peername.data();
        settings.version = peer_.version == Version::V1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
        settings.community = reinterpret_cast<u_char*>(community.data());
        settings.community_len = community.size();
        settings.retries = 0;
        settings.timeout = std::chrono::microseconds(timeout_).count();
        void* session = snmp_sess_open(&settings);
        if (session != nullptr) {
            handle_ = std::make_unique<Handle>();
            handle_->session = session;
            return true;
        }
        if (reason_.empty()) {
            int systemError = 0;
            int libraryError = 0;
            char* words = nullptr;
            snmp_error(&settings, &systemError, &libraryError, &words);
            reason_ = TakeLibraryWords(words);
        }
    }
    if (reason_.empty()) {
        reason_ = "no session to " + HostAndPort(peer_) + " could be opened";
    }
    return false;
}

std::optional<std::vector<Binding>> SnmpSession::Get(const std::vector<Oid>& names) {
    return Exchange(SNMP_MSG_GET, names, 0);
}

std::optional<std::vector<Binding>> SnmpSession::Next(const std::vector<Oid>& names,
                                                      int repetitions) {
    if (peer_.version == Version::V1) {
        return Exchange(SNMP_MSG_GETNEXT, names, 0);
    }
    return Exchange(SNMP_MSG_GETBULK, names, repetitions);
}

struct SnmpSession::Reply {
    long errorStatus = SNMP_ERR_NOERROR;
    long errorIndex = 0;
    std::vector<Binding> bindings;
};

std::string SnmpSession::NoAnswer() const {
    return "no answer from " + HostAndPort(peer_) + " within " + SecondsText(timeout_);
}

// Sends one request and waits for its answer, for no longer than the time left.
std::optional<SnmpSession::Reply>
SnmpSession::Send(int command, const std::vector<const Oid*>& names, int repetitions) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline_ - Clock::now());
    if (left.count() <= 0) {
        reason_ = NoAnswer();
        return std::nullopt;
    }
    netsnmp_session* settings = snmp_sess_session(handle_->session);
    settings->timeout = left.count();
    settings->retries = 0;

    netsnmp_pdu* request = snmp_pdu_create(command);
    if (command == SNMP_MSG_GETBULK) {
        request->non_repeaters = 0;
        request->max_repetitions = repetitions;
    }
    for (const Oid* name : names) {
        const std::vector<oid> subidentifiers(name->begin(), name->end());
        snmp_add_null_var(request, subidentifiers.data(), subidentifiers.size());
    }
    netsnmp_pdu* raw = nullptr;
    // The library frees the request, whatever comes of it.
    const int status = snmp_sess_synch_response(handle_->session, request, &raw);
    const Pdu response(raw);
    if (status == STAT_TIMEOUT) {
        reason_ = NoAnswer();
        return std::nullopt;
    }
    if (status != STAT_SUCCESS || !response) {
        int systemError = 0;
        int libraryError = 0;
        char* words = nullptr;
        snmp_sess_error(handle_->session, &systemError, &libraryError, &words);
        reason_ = TakeLibraryWords(words);
        return std::nullopt;
    }
    Reply reply{response->errstat, response->errindex, {}};
    for (const netsnmp_variable_list* variable = response->variables; variable != nullptr;
         variable = variable->next_variable) {
        reply.bindings.push_back(BindingOf(*variable, textLimit_));
    }
    return reply;
}

// Under v1 an agent refuses the whole request for one name it does not know (noSuchName,
// with that name's place): the name is answered as missing, or as the end for GETNEXT, and
// the request is sent again without it. Any other refusal ends the session.
std::optional<std::vector<Binding>>
SnmpSession::Exchange(int command, const std::vector<Oid>& names, int repetitions) {
    if (Failed() || !handle_) {
        return std::nullopt;
    }
    std::vector<std::optional<Binding>> answers(names.size());
    std::vector<std::size_t> asking(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        asking[i] = i;
    }
    while (!asking.empty()) {
        std::vector<const Oid*> asked;
        for (const std::size_t i : asking) {
            asked.push_back(&names[i]);
        }
        std::optional<Reply> reply = Send(command, asked, repetitions);
        if (!reply) {
            return std::nullopt;
        }
        const long place = reply->errorIndex;
        if (reply->errorStatus == SNMP_ERR_NOSUCHNAME && place >= 1 &&
            static_cast<std::size_t>(place) <= asking.size()) {
            const std::size_t refused = asking[static_cast<std::size_t>(place - 1)];
            const Kind kind = command == SNMP_MSG_GET ? Kind::Missing : Kind::EndOfView;
            answers[refused] = Binding{names[refused], kind, 0, {}};
            asking.erase(asking.begin() + (place - 1));
            continue;
        }
        if (reply->errorStatus != SNMP_ERR_NOERROR) {
            reason_ = HostAndPort(peer_) + " refused the request: " +
                      snmp_errstring(static_cast<int>(reply->errorStatus));
            return std::nullopt;
        }
        if (command == SNMP_MSG_GETBULK) {
            return std::move(reply->bindings);
        }
        for (std::size_t k = 0; k < asking.size(); ++k) {
            answers[asking[k]] = k < reply->bindings.size()
                                     ? std::move(reply->bindings[k])
                                     : Binding{names[asking[k]], Kind::Missing, 0, {}};
        }
        asking.clear();
    }
    std::vector<Binding> ordered;
    for (std::optional<Binding>& answer : answers) {
        ordered.push_back(std::move(*answer));
    }
    return ordered;
}

namespace {

// How often a sweep looks at its stop flag while it waits for answers.
constexpr std::chrono::milliseconds kStopLook{50};

// One agent of a sweep: its session, and its answer once it came.
struct SweptAgent {
    void* session = nullptr;
    bool answered = false;
    std::vector<Binding> bindings;
    std::size_t textLimit = 0;
};

// The sessions of a sweep, closed on every path; their agents stay where they are, as the
// library holds their addresses.
class Sweep {
public:
    explicit Sweep(std::size_t count) : agents_(count) {}
    ~Sweep() {
        for (SweptAgent& agent : agents_) {
            if (agent.session != nullptr) {
                snmp_sess_close(agent.session);
            }
        }
    }
    Sweep(const Sweep&) = delete;
    Sweep& operator=(const Sweep&) = delete;

    std::vector<SweptAgent>& Agents() { return agents_; }

private:
    std::vector<SweptAgent> agents_;
};

int TakeSweptReply(int operation, netsnmp_session*, int, netsnmp_pdu* reply, void* agentData) {
    auto& agent = *static_cast<SweptAgent*>(agentData);
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || reply == nullptr || agent.answered) {
        return 1;
    }
    agent.answered = true;
    if (reply->errstat == SNMP_ERR_NOERROR) {
        for (const netsnmp_variable_list* variable = reply->variables; variable != nullptr;
             variable = variable->next_variable) {
            agent.bindings.push_back(BindingOf(*variable, agent.textLimit));
        }
    }
    return 1;
}

// Opens the agent's session and sends it the GET; false when either failed. The session
// never times the request out itself: the sweep's deadline does.
bool SendSweptGet(const SnmpSession::Peer& peer, const std::vector<SnmpSession::Oid>& names,
                  std::chrono::milliseconds timeout, SweptAgent& agent) {
    const std::vector<std::string> addresses = TransportAddresses(peer.host, peer.port);
    if (addresses.empty()) {
        return false;
    }
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peername = addresses.front();
    std::string community = peer.community;
    settings.peername = peername.data();
    settings.version = peer.version == SnmpSession::Version::V1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
    settings.community = reinterpret_cast<u_char*>(community.data());
    settings.community_len = community.size();
    settings.retries = 0;
    settings.timeout = std::chrono::microseconds(timeout).count();
    settings.callback = TakeSweptReply;
    settings.callback_magic = &agent;
    agent.session = snmp_sess_open(&settings);
    if (agent.session == nullptr) {
        return false;
    }
    netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GET);
    for (const SnmpSession::Oid& name : names) {
        const std::vector<oid> subidentifiers(name.begin(), name.end());
        snmp_add_null_var(request, subidentifiers.data(), subidentifiers.size());
    }
    // The library frees the request once it is sent, and only then.
    if (snmp_sess_send(agent.session, request) == 0) {
        snmp_free_pdu(request);
        return false;
    }
    return true;
}

// Reads what arrived on the agent's socket; the reply reaches TakeSweptReply.
void ReadSwept(SweptAgent& agent, int socket) {
    netsnmp_large_fd_set ready;
    netsnmp_large_fd_set_init(&ready, socket + 1);
    NETSNMP_LARGE_FD_SET(socket, &ready);
    snmp_sess_read2(agent.session, &ready);
    netsnmp_large_fd_set_cleanup(&ready);
}

// Waits on every agent that has not answered, until all have, the deadline or the stop.
void AwaitSwept(std::vector<SweptAgent>& agents, SnmpSession::Clock::time_point deadline,
                const std::atomic<bool>* stop) {
    while (stop == nullptr || !stop->load()) {
        std::vector<pollfd> sockets;
        std::vector<SweptAgent*> waiting;
        for (SweptAgent& agent : agents) {
            const netsnmp_transport* transport =
                agent.session != nullptr ? snmp_sess_transport(agent.session) : nullptr;
            if (!agent.answered && transport != nullptr && transport->sock >= 0) {
                sockets.push_back({transport->sock, POLLIN, 0});
                waiting.push_back(&agent);
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - SnmpSession::Clock::now());
        if (sockets.empty() || left.count() <= 0) {
            return;
        }
        const int ready = ::poll(sockets.data(), sockets.size(),
                                 static_cast<int>(std::min(left, kStopLook).count()) + 1);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        for (std::size_t i = 0; ready > 0 && i < sockets.size(); ++i) {
            if ((sockets[i].revents & (POLLIN | POLLERR)) != 0) {
                ReadSwept(*waiting[i], sockets[i].fd);
            }
        }
    }
}

} // namespace

std::vector<std::optional<std::vector<Binding>>>
SnmpSession::GetEach(const std::vector<Peer>& peers, const std::vector<Oid>& names,
                     std::chrono::milliseconds timeout, std::size_t textLimit,
                     const std::atomic<bool>* stop) {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::vector<std::optional<std::vector<Binding>>> answers(peers.size());
    std::unique_lock<std::timed_mutex> library(Library(), std::defer_lock);
    if (!library.try_lock_until(deadline)) {
        return answers;
    }
    SetUpLibrary();
    Sweep sweep(peers.size());
    std::vector<SweptAgent>& agents = sweep.Agents();
    for (std::size_t i = 0; i < peers.size(); ++i) {
        agents[i].textLimit = textLimit;
        SendSweptGet(peers[i], names, timeout, agents[i]);
    }
    AwaitSwept(agents, deadline, stop);
    for (std::size_t i = 0; i < peers.size(); ++i) {
        if (agents[i].answered) {
            answers[i] = std::move(agents[i].bindings);
        }
    }
    return answers;
}
