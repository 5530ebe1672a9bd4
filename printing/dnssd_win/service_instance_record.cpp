#include "printing/dnssd_win/service_instance_record.h"

#include "core/win_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace ServiceInstanceRecord {

namespace {

std::string Text(const wchar_t* text) {
    return text != nullptr ? WinText::Utf8(text) : std::string();
}

bool EndsWithAnyCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) {
        return false;
    }
    const std::string_view tail = text.substr(text.size() - end.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) !=
            std::tolower(static_cast<unsigned char>(end[i]))) {
            return false;
        }
    }
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A DNS label as presentation text writes it: "\." a dot, "\\" a backslash, "\DDD" a byte.
std::string Unescaped(std::string_view label) {
    std::string plain;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] != '\\' || i + 1 == label.size()) {
            plain.push_back(label[i]);
        } else if (i + 3 < label.size() && IsDigit(label[i + 1]) && IsDigit(label[i + 2]) &&
                   IsDigit(label[i + 3])) {
            const int value =
                (label[i + 1] - '0') * 100 + (label[i + 2] - '0') * 10 + (label[i + 3] - '0');
            plain.push_back(static_cast<char>(value & 0xFF));
            i += 3;
        } else {
            plain.push_back(label[++i]);
        }
    }
    return plain;
}

std::string Ipv4Text(IP4_ADDRESS address) {
    // The address is in network order: its bytes in memory are the dotted quad's.
    std::array<unsigned char, 4> bytes{};
    std::memcpy(bytes.data(), &address, bytes.size());
    std::string text;
    for (const unsigned char byte : bytes) {
        if (!text.empty()) {
            text.push_back('.');
        }
        text.append(std::to_string(byte));
    }
    return text;
}

} // namespace

std::optional<std::string> InstanceName(std::wstring_view fullName, std::string_view type) {
    std::string full = WinText::Utf8(fullName);
    if (!full.empty() && full.back() == '.') {
        full.pop_back();
    }
    std::string suffix(".");
    suffix.append(type).append(".local");
    if (!EndsWithAnyCase(full, suffix) || full.size() == suffix.size()) {
        return std::nullopt;
    }
    return Unescaped(std::string_view(full).substr(0, full.size() - suffix.size()));
}

std::string Ipv6Text(const IP6_ADDRESS& address, DWORD interfaceIndex) {
    std::array<unsigned, 8> groups{};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        groups[i] = (unsigned{address.IP6Byte[2 * i]} << 8) | address.IP6Byte[2 * i + 1];
    }
    // The longest run of two or more zero groups, the first of equal ones.
    std::size_t runStart = groups.size();
    std::size_t runLength = 1;
    for (std::size_t i = 0; i < groups.size();) {
        std::size_t end = i;
        while (end < groups.size() && groups[end] == 0) {
            ++end;
        }
        if (end - i > runLength) {
            runStart = i;
            runLength = end - i;
        }
        i = end == i ? i + 1 : end;
    }
    static constexpr char Hex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i == runStart) {
            text.append("::");
            i += runLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') {
            text.push_back(':');
        }
        bool leading = true;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const unsigned digit = (groups[i] >> shift) & 0xF;
            if (digit != 0 || !leading || shift == 0) {
                text.push_back(Hex[digit]);
                leading = false;
            }
        }
    }
    const bool linkLocal = address.IP6Byte[0] == 0xfe && (address.IP6Byte[1] & 0xc0) == 0x80;
    if (linkLocal && interfaceIndex != 0) {
        text.append("%").append(std::to_string(interfaceIndex));
    }
    return text;
}

DnssdRecord Of(const DNS_SERVICE_INSTANCE& instance, std::string_view type,
               std::wstring_view queried) {
    DnssdRecord record;
    const std::wstring_view full =
        instance.pszInstanceName != nullptr ? instance.pszInstanceName : queried;
    record.name = InstanceName(full, type).value_or(WinText::Utf8(full));
    record.type = type;
    record.host = Text(instance.pszHostName);
    if (instance.ip4Address != nullptr) {
        record.address = Ipv4Text(*instance.ip4Address);
    } else if (instance.ip6Address != nullptr) {
        record.address = Ipv6Text(*instance.ip6Address, instance.dwInterfaceIndex);
    }
    record.port = instance.wPort;
    const std::size_t count = std::min<std::size_t>(instance.dwPropertyCount, MaxProperties);
    for (std::size_t i = 0; instance.keys != nullptr && i < count; ++i) {
        std::string entry = Text(instance.keys[i]);
        if (entry.empty()) {
            continue;
        }
        // A key without a value is a bare key, as it was in the TXT record.
        if (instance.values != nullptr && instance.values[i] != nullptr) {
            entry.append("=").append(Text(instance.values[i]));
        }
        record.txt.push_back(std::move(entry));
    }
    return record;
}

} // namespace ServiceInstanceRecord
