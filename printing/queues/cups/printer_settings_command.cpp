#include "printing/queues/cups/printer_settings_command.h"

#include "printing/queues/cups/program_search.h"

#include <array>

namespace {

bool IsUnreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

constexpr const char* LocalWebHost = "localhost:631";
constexpr const char* DefaultWebPort = "631";

// "host[:port]" with any "/version=..." or "/encryption=..." suffix of the setting removed.
std::string_view WithoutSettingSuffix(std::string_view server) {
    return server.substr(0, server.find('/'));
}

// An IPv6 address in the brackets a host and port need. Built by appending: g++ 12 at -O3
// sees a false overlap in "[" + std::string(...) and warns.
std::string Bracketed(std::string_view address) {
    std::string bracketed;
    bracketed.reserve(address.size() + 2);
    bracketed += '[';
    bracketed += address;
    bracketed += ']';
    return bracketed;
}

} // namespace

namespace PrinterSettingsCommand {

std::string PercentEncoded(std::string_view text) {
    static constexpr std::array<char, 16> hexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                       '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string encoded;
    encoded.reserve(text.size());
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (IsUnreserved(byte)) {
            encoded += character;
        } else {
            encoded += '%';
            encoded += hexDigits[byte >> 4];
            encoded += hexDigits[byte & 0x0F];
        }
    }
    return encoded;
}

std::string WebHost(std::string_view server) {
    if (server.empty() || server.front() == '/') {
        return LocalWebHost;
    }
    const std::string_view host = WithoutSettingSuffix(server);
    if (host.empty()) {
        return LocalWebHost;
    }
    if (host.front() == '[') {
        // A bracketed IPv6 address, with or without a port after the bracket.
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) {
            return LocalWebHost;
        }
        if (close + 1 < host.size() && host[close + 1] == ':') {
            return std::string(host);
        }
        return std::string(host.substr(0, close + 1)) + ":" + DefaultWebPort;
    }
    const std::size_t firstColon = host.find(':');
    if (firstColon == std::string_view::npos) {
        return std::string(host) + ":" + DefaultWebPort;
    }
    if (host.find(':', firstColon + 1) != std::string_view::npos) {
        // A bare IPv6 address: a web address needs it in brackets.
        return Bracketed(host) + ":" + DefaultWebPort;
    }
    return std::string(host);
}

std::string ServerSetting(std::string_view host, int port) {
    if (host.empty() || host.front() == '/') {
        return std::string(host);
    }
    const bool bareIpv6 = host.front() != '[' && host.find(':') != std::string_view::npos;
    const std::string bracketed = bareIpv6 ? Bracketed(host) : std::string(host);
    return bracketed + ":" + std::to_string(port);
}

std::string SchedulerPageAddress(const std::string& printerName, std::string_view server) {
    return "http://" + WebHost(server) + "/printers/" + PercentEncoded(printerName);
}

std::vector<std::string> For(const std::string& printerName, const std::string& searchPath,
                             std::string_view server) {
    if (auto program = ProgramSearch::Find("system-config-printer", searchPath)) {
        return {*program, "--configure-printer", printerName};
    }
    if (auto program = ProgramSearch::Find("configure-printer", searchPath)) {
        // "--": a queue named like an option ("-x") is still the name.
        return {*program, "--", printerName};
    }
    return {ProgramSearch::Find("xdg-open", searchPath).value_or("xdg-open"),
            SchedulerPageAddress(printerName, server)};
}

} // namespace PrinterSettingsCommand
