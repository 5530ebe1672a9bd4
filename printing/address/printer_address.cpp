#include "printing/address/printer_address.h"

#include "printing/address/printer_language.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace {

struct SchemeName {
    std::string_view name;
    PrinterAddress::Scheme scheme;
    bool network;
};

constexpr std::array<SchemeName, 6> Schemes{{
    {"socket", PrinterAddress::Scheme::Socket, true},
    {"lpd", PrinterAddress::Scheme::Lpd, true},
    {"ipp", PrinterAddress::Scheme::Ipp, true},
    {"ipps", PrinterAddress::Scheme::Ipps, true},
    {"file", PrinterAddress::Scheme::File, false},
    {"serial", PrinterAddress::Scheme::Serial, false},
}};

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool IsSchemeCharacter(unsigned char c) {
    return std::isalnum(c) || c == '+' || c == '-' || c == '.';
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

bool IsHostCharacter(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_';
}

bool IsIpv6Character(unsigned char c) {
    return std::isxdigit(c) || c == ':' || c == '.';
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

std::optional<unsigned> Number(std::string_view digits) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(),
                                       [](unsigned char c) { return std::isdigit(c); })) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

// A fault in the text, said in words; caught once, at the top of the parse.
struct AddressFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fault(const std::string& why) {
    throw AddressFault(why);
}

// Built by appending: GCC 12's -Wrestrict sees a false overlap in the Windows release
// build of "\"" + std::string(text) + "\"".
std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(1, '"').append(text).append(1, '"');
    return quoted;
}

// A device whose own name starts with "//" is written after one more "//", which the
// parser takes off again: without it the name would read as a host.
std::string DeviceText(std::string_view scheme, const std::string& device) {
    const std::string_view hostMark = device.rfind("//", 0) == 0 ? "//" : "";
    std::string text(scheme);
    text.append(":").append(hostMark).append(device);
    return text;
}

} // namespace

// Reads one address, filling the fields of a PrinterAddress as it goes.
class PrinterAddressParser {
public:
    explicit PrinterAddressParser(std::string_view text) : text_(text) {}

    PrinterAddress Parse() {
        if (HasControlCharacter(text_)) {
            Fault("it holds a control character");
        }
        const std::size_t colon = text_.find(':');
        if (colon == std::string_view::npos) {
            Fault("no scheme is given; use socket://, lpd://, ipp://, ipps://, file: or serial:");
        }
        const SchemeName& scheme = FindScheme(text_.substr(0, colon));
        address_.scheme_ = scheme.scheme;
        const std::string_view rest = text_.substr(colon + 1);
        if (scheme.network) {
            ParseNetwork(scheme.name, rest);
        } else if (scheme.scheme == PrinterAddress::Scheme::File) {
            ParseFile(rest);
        } else {
            ParseSerial(rest);
        }
        return address_;
    }

private:
    static const SchemeName& FindScheme(std::string_view name) {
        const std::string lower = Lower(name);
        for (const SchemeName& scheme : Schemes) {
            if (scheme.name == lower) {
                return scheme;
            }
        }
        Fault("the scheme " + Quoted(name) +
              " is not known; use socket://, lpd://, ipp://, ipps://, file: or serial:");
    }

    void ParseNetwork(std::string_view scheme, std::string_view rest) {
        if (rest.substr(0, 2) != "//") {
            Fault("\"//\" must follow \"" + std::string(scheme) + ":\"");
        }
        rest.remove_prefix(2);
        const std::size_t pathStart = rest.find_first_of("/?#");
        ParseAuthority(rest.substr(0, pathStart));
        std::string_view path =
            pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);
        const std::size_t query = path.find('?');
        if (path.find('#') != std::string_view::npos ||
            (query != std::string_view::npos &&
             address_.scheme_ != PrinterAddress::Scheme::Socket)) {
            Fault("options after \"?\" or \"#\" are not taken by " + std::string(scheme) +
                  ":// addresses");
        }
        if (query != std::string_view::npos) {
            Options(path.substr(query + 1), [this](std::string_view option) {
                if (!LanguageOption(option)) {
                    Fault("the option " + Quoted(option) + " is not known (language)");
                }
            });
            path = path.substr(0, query);
        }
        address_.port_ =
            address_.port_ != 0 ? address_.port_ : PrinterAddress::DefaultPort(address_.scheme_);
        switch (address_.scheme_) {
        case PrinterAddress::Scheme::Socket:
            if (!path.empty() && path != "/") {
                Fault("a socket:// address takes no path (" + Quoted(path) + ")");
            }
            break;
        case PrinterAddress::Scheme::Lpd:
            ParseLpdQueue(path);
            break;
        default:
            if (path.size() < 2) {
                Fault("an " + std::string(scheme) + ":// address needs the printer's path, as in " +
                      std::string(scheme) + "://HOST/ipp/print");
            }
            address_.queue_ = std::string(path);
            break;
        }
    }

    void ParseAuthority(std::string_view authority) {
        if (authority.find('@') != std::string_view::npos) {
            Fault("a user name in the address is not taken");
        }
        std::string_view portText;
        bool hasPort = false;
        if (!authority.empty() && authority.front() == '[') {
            const std::size_t close = authority.find(']');
            if (close == std::string_view::npos) {
                Fault("the IPv6 address has no closing \"]\"");
            }
            const std::string_view host = authority.substr(1, close - 1);
            if (host.empty() || host.find(':') == std::string_view::npos ||
                !std::all_of(host.begin(), host.end(),
                             [](unsigned char c) { return IsIpv6Character(c); })) {
                Fault("the IPv6 address " + Quoted(host) + " is malformed");
            }
            address_.host_ = std::string(host);
            const std::string_view after = authority.substr(close + 1);
            if (!after.empty() && after.front() != ':') {
                Fault("only \":PORT\" may follow the IPv6 address");
            }
            hasPort = !after.empty();
            portText = hasPort ? after.substr(1) : std::string_view();
        } else {
            const std::size_t colon = authority.find(':');
            if (colon != std::string_view::npos &&
                authority.find(':', colon + 1) != std::string_view::npos) {
                Fault("an IPv6 address must be written in brackets, as in [::1]");
            }
            const std::string_view host = authority.substr(0, colon);
            if (!std::all_of(host.begin(), host.end(),
                             [](unsigned char c) { return IsHostCharacter(c); })) {
                Fault("the host " + Quoted(host) + " holds a character no host name has");
            }
            address_.host_ = std::string(host);
            hasPort = colon != std::string_view::npos;
            portText = hasPort ? authority.substr(colon + 1) : std::string_view();
        }
        if (address_.host_.empty()) {
            Fault("no host is given");
        }
        if (hasPort) {
            address_.port_ = Port(portText);
        }
    }

    static std::uint16_t Port(std::string_view text) {
        if (text.empty()) {
            Fault("no port follows the colon");
        }
        if (!std::all_of(text.begin(), text.end(),
                         [](unsigned char c) { return std::isdigit(c); })) {
            Fault("the port " + Quoted(text) + " is not a number");
        }
        // Digits too many for a number are out of range as much as 65536 is.
        const std::optional<unsigned> port = Number(text);
        if (!port || *port < 1 || *port > 65535) {
            Fault("the port " + std::string(text) + " is out of range (1 to 65535)");
        }
        return static_cast<std::uint16_t>(*port);
    }

    // The queue name goes into the daemon's command lines, where a blank separates
    // fields and a line end ends the command: it may hold neither.
    void ParseLpdQueue(std::string_view path) {
        const std::string_view queue = path.empty() ? path : path.substr(1);
        if (queue.empty()) {
            Fault("an lpd:// address needs a queue name, as in lpd://HOST/QUEUE");
        }
        if (queue.find('/') != std::string_view::npos) {
            Fault("the queue name " + Quoted(queue) + " holds a \"/\"");
        }
        if (queue.find(' ') != std::string_view::npos) {
            Fault("the queue name " + Quoted(queue) + " holds a blank");
        }
        address_.queue_ = std::string(queue);
    }

    void ParseFile(std::string_view rest) {
        const std::size_t query = rest.find('?');
        address_.device_ = std::string(Device(rest.substr(0, query), "file"));
        if (query != std::string_view::npos) {
            Options(rest.substr(query + 1), [this](std::string_view option) {
                if (!LanguageOption(option)) {
                    Fault("the option " + Quoted(option) + " is not known (language)");
                }
            });
        }
    }

    // Options are NAME=VALUE, separated by "+" or "&".
    template <typename Take> static void Options(std::string_view options, Take take) {
        while (!options.empty()) {
            const std::size_t end = options.find_first_of("+&");
            take(options.substr(0, end));
            options = end == std::string_view::npos ? std::string_view() : options.substr(end + 1);
        }
    }

    // language=NAME, which every address that can carry the printer's replies takes.
    bool LanguageOption(std::string_view option) {
        const std::size_t equals = option.find('=');
        if (Lower(option.substr(0, equals)) != "language") {
            return false;
        }
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : option.substr(equals + 1);
        const std::optional<PrinterLanguage> language = PrinterLanguageName::Find(value);
        if (!language) {
            Fault("the language " + Quoted(value) + " is not one of " +
                  std::string(PrinterLanguageName::Choices()));
        }
        address_.language_ = *language;
        return true;
    }

    // A device written as "DEVICE" or "///DEVICE"; "//HOST/DEVICE" names another machine.
    static std::string_view Device(std::string_view rest, std::string_view scheme) {
        if (rest.substr(0, 2) == "//") {
            rest.remove_prefix(2);
            if (rest.empty() || rest.front() != '/') {
                Fault("a " + std::string(scheme) +
                      ": address names a device of this machine, not a host");
            }
        }
        if (rest.empty() || rest.front() == '?') {
            Fault("no device is given, as in " + std::string(scheme) + ":/dev/usb/lp0");
        }
        return rest;
    }

    void ParseSerial(std::string_view rest) {
        const std::size_t query = rest.find('?');
        address_.device_ = std::string(Device(rest.substr(0, query), "serial"));
        if (query == std::string_view::npos) {
            return;
        }
        Options(rest.substr(query + 1), [this](std::string_view option) {
            if (!LanguageOption(option)) {
                SerialOption(option);
            }
        });
    }

    void SerialOption(std::string_view option) {
        const std::size_t equals = option.find('=');
        const std::string name = Lower(option.substr(0, equals));
        const std::string value =
            equals == std::string_view::npos ? std::string() : Lower(option.substr(equals + 1));
        SerialSettings& serial = address_.serial_;
        if (name == "baud") {
            serial.baud = SerialNumber(name, value, 50, 4000000);
        } else if (name == "bits") {
            serial.bits = SerialNumber(name, value, 5, 8);
        } else if (name == "stop") {
            serial.stopBits = SerialNumber(name, value, 1, 2);
        } else if (name == "parity") {
            serial.parity = Choice<SerialSettings::Parity>(name, value,
                                                           {{"none", SerialSettings::Parity::None},
                                                            {"even", SerialSettings::Parity::Even},
                                                            {"odd", SerialSettings::Parity::Odd}});
        } else if (name == "flow") {
            serial.flow = Choice<SerialSettings::Flow>(name, value,
                                                       {{"none", SerialSettings::Flow::None},
                                                        {"soft", SerialSettings::Flow::Software},
                                                        {"xonxoff", SerialSettings::Flow::Software},
                                                        {"hard", SerialSettings::Flow::Hardware},
                                                        {"rtscts", SerialSettings::Flow::Hardware},
                                                        {"dtrdsr", SerialSettings::Flow::DtrDsr}});
        } else {
            Fault("the serial option " + Quoted(option.substr(0, equals)) +
                  " is not known (baud, bits, parity, flow, stop, language)");
        }
    }

    static unsigned SerialNumber(const std::string& name, const std::string& value, unsigned low,
                                 unsigned high) {
        const std::optional<unsigned> number = Number(value);
        if (!number || *number < low || *number > high) {
            Fault("the serial option " + name + "=" + value + " is not a number from " +
                  std::to_string(low) + " to " + std::to_string(high));
        }
        return *number;
    }

    template <typename Value>
    static Value Choice(const std::string& name, const std::string& value,
                        std::initializer_list<std::pair<std::string_view, Value>> choices) {
        std::string names;
        for (const auto& [choiceName, choice] : choices) {
            if (choiceName == value) {
                return choice;
            }
            names += (names.empty() ? "" : ", ") + std::string(choiceName);
        }
        Fault("the serial option " + name + "=" + value + " is not one of " + names);
    }

    std::string_view text_;
    PrinterAddress address_;
};

bool PrinterAddress::IsAddress(std::string_view printerName) {
    if (StartsWithNoCase(printerName, "file:") || StartsWithNoCase(printerName, "serial:")) {
        return true;
    }
    const std::size_t separator = printerName.find("://");
    if (separator == 0 || separator == std::string_view::npos) {
        return false;
    }
    const std::string_view scheme = printerName.substr(0, separator);
    return std::isalpha(static_cast<unsigned char>(scheme.front())) &&
           std::all_of(scheme.begin(), scheme.end(),
                       [](unsigned char c) { return IsSchemeCharacter(c); });
}

ParsedPrinterAddress PrinterAddress::Parse(std::string_view text) {
    try {
        return {PrinterAddressParser(text).Parse(), {}};
    } catch (const AddressFault& fault) {
        return {std::nullopt, Quoted(text) + " is not a printer address: " + fault.what() + "."};
    }
}

std::uint16_t PrinterAddress::DefaultPort(Scheme scheme) {
    switch (scheme) {
    case Scheme::Socket:
        return 9100;
    case Scheme::Lpd:
        return 515;
    case Scheme::Ipp:
    case Scheme::Ipps:
        return 631;
    default:
        return 0;
    }
}

std::string PrinterAddress::HostForUrl() const {
    return host_.find(':') == std::string::npos ? host_ : "[" + host_ + "]";
}

std::string PrinterAddress::Text() const {
    std::string text = TextWithoutLanguage();
    if (language_ != PrinterLanguage::Automatic) {
        text.append(scheme_ == Scheme::Serial ? "+" : "?")
            .append("language=")
            .append(PrinterLanguageName::NameOf(language_));
    }
    return text;
}

std::string PrinterAddress::TextWithoutLanguage() const {
    const auto network = [this](std::string_view scheme, std::string_view path) {
        return std::string(scheme) + "://" + HostForUrl() + ":" + std::to_string(port_) +
               std::string(path);
    };
    switch (scheme_) {
    case Scheme::Socket:
        return network("socket", "");
    case Scheme::Lpd:
        return network("lpd", "/" + queue_);
    case Scheme::Ipp:
        return network("ipp", queue_);
    case Scheme::Ipps:
        return network("ipps", queue_);
    case Scheme::File:
        return DeviceText("file", device_);
    case Scheme::Serial:
        break;
    }
    static constexpr std::array<std::string_view, 3> Parities{"none", "even", "odd"};
    static constexpr std::array<std::string_view, 4> Flows{"none", "soft", "hard", "dtrdsr"};
    std::string text = DeviceText("serial", device_) + "?baud=" + std::to_string(serial_.baud) +
                       "+bits=" + std::to_string(serial_.bits) + "+parity=" +
                       std::string(Parities[static_cast<std::size_t>(serial_.parity)]) +
                       "+flow=" + std::string(Flows[static_cast<std::size_t>(serial_.flow)]);
    if (serial_.stopBits != 1) {
        text += "+stop=" + std::to_string(serial_.stopBits);
    }
    return text;
}
