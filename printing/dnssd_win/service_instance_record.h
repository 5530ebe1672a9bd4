#pragma once

#include "printing/discovery/dnssd_record.h"
#include "printing/dnssd_win/dnsapi_calls.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What the system's DNS client says of one printer service, as the DnssdRecord every DNS-SD
// search hands to the shared row code: wide texts to UTF-8, the TXT record's keys and values
// back to "key=value" strings, the address to text.
namespace ServiceInstanceRecord {

// The most TXT strings taken from one instance: more than one TXT record holds.
inline constexpr std::size_t MaxProperties = 1024;

// The record of a resolved instance of `type` ("_ipp._tcp"); `queried` is the full name that
// was resolved, used where the instance names none.
DnssdRecord Of(const DNS_SERVICE_INSTANCE& instance, std::string_view type,
               std::wstring_view queried);

// The instance's own name in a full service name ("Front\.Desk._ipp._tcp.local." gives
// "Front.Desk"), its escapes undone; none where the name is not of `type` in ".local".
std::optional<std::string> InstanceName(std::wstring_view fullName, std::string_view type);

// An IPv6 address as text, its longest run of zero groups written "::"; a link-local one
// with its interface ("fe80::1%7").
std::string Ipv6Text(const IP6_ADDRESS& address, DWORD interfaceIndex);

} // namespace ServiceInstanceRecord
