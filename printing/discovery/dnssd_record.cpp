#include "printing/discovery/dnssd_record.h"

#include "printing/address/printer_address.h"

#include <algorithm>
#include <cctype>

namespace {

// How each service type is printed to: its scheme, and the "rp" it has when the TXT record
// names none. An LPD printer's default queue is "auto"; an IPP printer without "rp" is
// asked at the path IPP Everywhere printers serve, as the root alone is no address here.
struct TypeRoute {
    std::string_view type;
    std::string_view scheme;
    bool hasPath;
    std::string_view defaultPath;
};

constexpr std::array<TypeRoute, 4> TypeRoutes{{
    {"_pdl-datastream._tcp", "socket", false, ""},
    {"_printer._tcp", "lpd", true, "auto"},
    {"_ipp._tcp", "ipp", true, "ipp/print"},
    {"_ipps._tcp", "ipps", true, "ipp/print"},
}};

// The usual names of the languages printers list in "pdl". Types not listed here are
// shown as they came; application/octet-stream (raw: anything) says no language.
struct LanguageName {
    std::string_view mimeType;
    std::string_view name;
};

constexpr std::array<LanguageName, 13> LanguageNames{{
    {"application/vnd.hp-pcl", "PCL"},
    {"application/vnd.hp-pclxl", "PCL XL"},
    {"application/postscript", "PostScript"},
    {"application/pdf", "PDF"},
    {"image/pwg-raster", "PWG raster"},
    {"image/urf", "Apple raster"},
    {"application/pclm", "PCLm"},
    {"image/jpeg", "JPEG"},
    {"text/plain", "text"},
    // Label printers' spellings; ZPL has no registered type.
    {"application/vnd.zebra-zpl", "ZPL"},
    {"application/x-zpl", "ZPL"},
    {"application/vnd.epson.escpos", "ESC/POS"},
    {"application/octet-stream", ""},
}};

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string Bounded(std::string_view text) {
    return std::string(text.substr(0, DnssdRecord::MaxText));
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsHostName(std::string_view host) {
    return !host.empty() && host.size() <= 253 && host.front() != '.' &&
           std::all_of(host.begin(), host.end(), [](unsigned char c) {
               return std::isalnum(c) || c == '-' || c == '.' || c == '_';
           });
}

// The host as the address names it: DNS-SD's host name (without the root's dot), which the
// program resolves itself at print time; the address it resolved to where the name is none
// an address can hold.
std::string HostForAddress(const DnssdRecord& record) {
    std::string_view host = record.host;
    if (!host.empty() && host.back() == '.') {
        host.remove_suffix(1);
    }
    if (IsHostName(host) || record.address.empty()) {
        return Bounded(host);
    }
    const std::string address = Bounded(record.address);
    return address.find(':') == std::string::npos ? address : "[" + address + "]";
}

bool IsUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
}

// A path from "rp" as an IPP address holds it: "/" and what is no path character written
// as %XX, so a blank, "?" or "#" stays part of the path.
std::string PathOf(std::string_view rp) {
    static constexpr std::string_view Hex = "0123456789ABCDEF";
    std::string path = "/";
    for (const unsigned char c : rp) {
        if (IsUnreserved(c)) {
            path.push_back(static_cast<char>(c));
        } else {
            path.append({'%', Hex[c >> 4], Hex[c & 0x0F]});
        }
    }
    return path;
}

std::string ModelOf(const DnssdRecord& record) {
    if (std::string model = record.Value("ty"); !model.empty()) {
        return model;
    }
    std::string product = record.Value("product");
    if (product.size() >= 2 && product.front() == '(' && product.back() == ')') {
        product = product.substr(1, product.size() - 2);
    }
    if (!product.empty()) {
        return product;
    }
    const std::string maker = record.Value("usb_MFG");
    const std::string model = record.Value("usb_MDL");
    return maker.empty() || model.empty() ? model : maker + " " + model;
}

std::vector<std::string> LanguagesOf(std::string_view pdl) {
    std::vector<std::string> languages;
    while (!pdl.empty() && languages.size() < DnssdRecord::MaxLanguages) {
        const std::size_t comma = pdl.find(',');
        const std::string_view type = Trimmed(pdl.substr(0, comma));
        pdl = comma == std::string_view::npos ? std::string_view() : pdl.substr(comma + 1);
        const std::string lower = Lower(type);
        const auto known =
            std::find_if(LanguageNames.begin(), LanguageNames.end(),
                         [&lower](const LanguageName& name) { return name.mimeType == lower; });
        const std::string name =
            known != LanguageNames.end() ? std::string(known->name) : Bounded(type);
        if (!name.empty() &&
            std::find(languages.begin(), languages.end(), name) == languages.end()) {
            languages.push_back(name);
        }
    }
    return languages;
}

} // namespace

std::string DnssdRecord::Value(std::string_view key, std::size_t limit) const {
    const std::string wanted = Lower(key);
    for (const std::string& entry : txt) {
        const std::size_t equals = entry.find('=');
        // A string without a key says nothing.
        if (equals == 0 || Lower(std::string_view(entry).substr(0, equals)) != wanted) {
            continue;
        }
        return equals == std::string::npos ? std::string() : entry.substr(equals + 1, limit);
    }
    return {};
}

DiscoveredPrinter DnssdRecord::Printer() const {
    DiscoveredPrinter printer;
    printer.name = Bounded(name);
    printer.model = ModelOf(*this);
    // Whole, so that the list is cut between types, never inside one.
    printer.languages = LanguagesOf(Value("pdl", std::string::npos));
    printer.location = Value("note");
    printer.uuid = Value("UUID");
    printer.foundBy = {"DNS-SD"};
    if (!address.empty()) {
        printer.hostAddresses = {Bounded(address)};
    }

    const auto route = std::find_if(TypeRoutes.begin(), TypeRoutes.end(),
                                    [this](const TypeRoute& row) { return row.type == type; });
    if (route == TypeRoutes.end()) {
        printer.problem = "the service type " + Bounded(type) + " is no printer's";
        return printer;
    }
    std::string path;
    if (route->hasPath) {
        std::string rp = Value("rp");
        // Some printers write the path with its leading slash.
        rp.erase(0, rp.find_first_not_of('/'));
        if (rp.empty()) {
            rp = route->defaultPath;
        }
        path = route->scheme == "lpd" ? "/" + rp : PathOf(rp);
    }
    const std::string text = std::string(route->scheme) + "://" + HostForAddress(*this) + ":" +
                             std::to_string(port) + path;
    const ParsedPrinterAddress parsed = PrinterAddress::Parse(text);
    if (parsed.address) {
        printer.address = parsed.address->Text();
    } else {
        printer.address = text;
        printer.problem = "its address can't be printed to: " + parsed.error;
    }
    return printer;
}
