#include "printing/discovery/printer_rows.h"

#include "printing/address/printer_address.h"

#include <algorithm>
#include <array>

namespace {

using Scheme = PrinterAddress::Scheme;

// Where an address stands among a row's: raw first, as it prints what it is given with no
// one between; a queue last, as it is reached through the spooler.
struct SchemeRank {
    Scheme scheme;
    int rank;
};
constexpr std::array kSchemeRanks = {
    SchemeRank{Scheme::Socket, 0}, SchemeRank{Scheme::File, 0}, SchemeRank{Scheme::Serial, 0},
    SchemeRank{Scheme::Lpd, 1},    SchemeRank{Scheme::Ipp, 2},  SchemeRank{Scheme::Ipps, 3},
};
constexpr int kMalformedRank = 4;
constexpr int kQueueRank = 5;

int RankOf(Scheme scheme) {
    for (const SchemeRank& row : kSchemeRanks) {
        if (row.scheme == scheme) {
            return row.rank;
        }
    }
    return kMalformedRank;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return Lower(a) == Lower(b);
}

// A host name as it is compared: "Printer.Local." and "printer.local" are one host.
std::string NormalHost(std::string_view host) {
    if (!host.empty() && host.back() == '.') {
        host.remove_suffix(1);
    }
    return Lower(host);
}

// "urn:uuid:X" and "X", in any case, are one UUID.
std::string NormalUuid(std::string_view uuid) {
    std::string lower = Lower(uuid);
    constexpr std::string_view kUrn = "urn:uuid:";
    return lower.starts_with(kUrn) ? lower.substr(kUrn.size()) : lower;
}

std::string Bounded(const std::string& text) {
    return text.substr(0, PrinterRows::kTextLimit);
}

// Adds the text to the list unless it is there already (as `same` compares) or the list is
// full; true when it was added.
template <typename Same>
bool AddOnce(std::vector<std::string>& list, const std::string& text, Same same) {
    if (text.empty() || list.size() >= PrinterRows::kListLimit ||
        std::any_of(list.begin(), list.end(),
                    [&](const std::string& there) { return same(there, text); })) {
        return false;
    }
    list.push_back(Bounded(text));
    return true;
}

bool Equal(const std::string& a, const std::string& b) {
    return a == b;
}

// A field is taken where the row has none, or where the printer's own words come in for
// what only the spooler said.
bool Take(std::string& into, const std::string& from, bool overrides) {
    if (from.empty() || into == from || (!into.empty() && !overrides)) {
        return false;
    }
    into = from;
    return true;
}

// What only the spooler says of a printer (a queue's description, "Local Raw Printer") gives
// way to what the printer says of itself.
bool SpoolerOnly(const DiscoveredPrinter& printer) {
    return !printer.foundBy.empty() &&
           std::all_of(printer.foundBy.begin(), printer.foundBy.end(),
                       [](const std::string& source) { return source == "spooler"; });
}

bool HasLanguage(const std::string& address) {
    return address.find("language=") != std::string::npos;
}

} // namespace

PrinterRows::Row PrinterRows::RowOf(const DiscoveredPrinter& found) {
    Row row;
    DiscoveredPrinter& printer = row.printer;
    printer.name = Bounded(found.name);
    printer.model = Bounded(found.model);
    printer.location = Bounded(found.location);
    printer.uuid = Bounded(found.uuid);
    printer.problem = Bounded(found.problem);
    for (const std::string& language : found.languages) {
        AddOnce(printer.languages, language, SameNoCase);
    }
    for (const std::string& source : found.foundBy) {
        AddOnce(printer.foundBy, source, Equal);
    }
    for (const std::string& host : found.hostAddresses) {
        AddOnce(printer.hostAddresses, host, SameNoCase);
        AddOnce(row.hosts, NormalHost(host), Equal);
    }
    std::vector<std::string> texts = {found.address};
    texts.insert(texts.end(), found.otherAddresses.begin(), found.otherAddresses.end());
    Row addresses;
    for (const std::string& text : texts) {
        if (text.empty() || text.size() > kTextLimit) {
            continue;
        }
        Address address{text, "queue:" + Lower(text), kQueueRank};
        if (PrinterAddress::IsAddress(text)) {
            address.key = text;
            address.rank = kMalformedRank;
            if (const auto parsed = PrinterAddress::Parse(text).address) {
                address.text = parsed->Text();
                address.rank = RankOf(parsed->scheme());
                // The key names the host as it is compared, the rest as it is written.
                address.key = parsed->TextWithoutLanguage();
                const std::string host = parsed->HostForUrl();
                const std::size_t at = address.key.find("://");
                if (!host.empty() && at != std::string::npos &&
                    address.key.compare(at + 3, host.size(), host) == 0) {
                    address.key.replace(at + 3, host.size(), NormalHost(host));
                }
                AddOnce(row.hosts, NormalHost(parsed->host()), Equal);
            }
        }
        addresses.addresses.push_back(std::move(address));
    }
    Merge(row, addresses);
    return row;
}

PrinterRows::Link PrinterRows::LinkOf(const Row& row, const Row& printer) {
    const DiscoveredPrinter& a = row.printer;
    const DiscoveredPrinter& b = printer.printer;
    if (!a.uuid.empty() && NormalUuid(a.uuid) == NormalUuid(b.uuid)) {
        return Link::Strong;
    }
    for (const Address& mine : row.addresses) {
        for (const Address& theirs : printer.addresses) {
            if (mine.key == theirs.key) {
                return Link::Strong;
            }
        }
    }
    const bool sameHost = std::any_of(row.hosts.begin(), row.hosts.end(), [&](const auto& host) {
        return std::find(printer.hosts.begin(), printer.hosts.end(), host) != printer.hosts.end();
    });
    if (!sameHost) {
        return Link::None;
    }
    if (SameNoCase(a.name, b.name)) {
        return Link::Strong;
    }
    return a.name.empty() || b.name.empty() ? Link::Weak : Link::None;
}

bool PrinterRows::Merge(Row& into, const Row& from) {
    bool changed = false;
    for (const Address& address : from.addresses) {
        const auto same =
            std::find_if(into.addresses.begin(), into.addresses.end(),
                         [&](const Address& there) { return there.key == address.key; });
        if (same != into.addresses.end()) {
            // One spelling names the language the printer is asked in: that one is kept.
            if (!HasLanguage(same->text) && HasLanguage(address.text)) {
                same->text = address.text;
                changed = true;
            }
            continue;
        }
        if (into.addresses.size() >= kAddressLimit) {
            continue;
        }
        const auto after =
            std::find_if(into.addresses.begin(), into.addresses.end(),
                         [&](const Address& there) { return there.rank > address.rank; });
        into.addresses.insert(after, address);
        changed = true;
    }
    for (const std::string& host : from.hosts) {
        AddOnce(into.hosts, host, Equal);
    }
    DiscoveredPrinter& to = into.printer;
    const DiscoveredPrinter& other = from.printer;
    const bool overrides = SpoolerOnly(to) && !other.foundBy.empty() && !SpoolerOnly(other);
    for (const auto field :
         {&DiscoveredPrinter::name, &DiscoveredPrinter::model, &DiscoveredPrinter::location,
          &DiscoveredPrinter::uuid, &DiscoveredPrinter::problem}) {
        changed = Take(to.*field, other.*field, overrides) || changed;
    }
    for (const std::string& language : other.languages) {
        changed = AddOnce(to.languages, language, SameNoCase) || changed;
    }
    for (const std::string& source : other.foundBy) {
        changed = AddOnce(to.foundBy, source, Equal) || changed;
    }
    for (const std::string& host : other.hostAddresses) {
        AddOnce(to.hostAddresses, host, SameNoCase);
    }
    return changed;
}

bool PrinterRows::Add(const DiscoveredPrinter& printer) {
    const Row incoming = RowOf(printer);
    if (incoming.addresses.empty()) {
        return false; // nothing to print to
    }
    std::vector<std::size_t> joined;
    std::vector<std::size_t> weak;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Link link = LinkOf(rows_[i], incoming);
        if (link == Link::Strong) {
            joined.push_back(i);
        } else if (link == Link::Weak) {
            weak.push_back(i);
        }
    }
    // A nameless printer on a host of printers of several names could be any of them.
    std::vector<std::string> names;
    for (const std::size_t i : weak) {
        AddOnce(names, rows_[i].printer.name, SameNoCase);
    }
    if (names.size() <= 1) {
        joined.insert(joined.end(), weak.begin(), weak.end());
        std::sort(joined.begin(), joined.end());
    }
    if (joined.empty()) {
        if (rows_.size() >= kRowLimit) {
            ++leftOut_;
            return false;
        }
        rows_.push_back(incoming);
        return true;
    }
    // The rows found earlier give their fields before the printer that joins them.
    Row& first = rows_[joined.front()];
    for (std::size_t k = 1; k < joined.size(); ++k) {
        Merge(first, rows_[joined[k]]);
    }
    const bool changed = Merge(first, incoming) || joined.size() > 1;
    for (std::size_t k = joined.size(); k-- > 1;) {
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(joined[k]));
    }
    return changed;
}

std::vector<DiscoveredPrinter> PrinterRows::Rows() const {
    std::vector<DiscoveredPrinter> printers;
    printers.reserve(rows_.size());
    for (const Row& row : rows_) {
        DiscoveredPrinter printer = row.printer;
        printer.address = row.addresses.front().text;
        for (std::size_t i = 1; i < row.addresses.size(); ++i) {
            printer.otherAddresses.push_back(row.addresses[i].text);
        }
        printers.push_back(std::move(printer));
    }
    return printers;
}
