#include "printing/address/local_host_names.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <utility>

namespace {

std::mutex& LookupLock() {
    static std::mutex lock;
    return lock;
}

LocalHostNames::Lookup& InstalledLookup() {
    static LocalHostNames::Lookup lookup;
    return lookup;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() > suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

} // namespace

bool LocalHostNames::IsLocal(std::string_view host) {
    if (!host.empty() && host.back() == '.') {
        host.remove_suffix(1);
    }
    return EndsWithNoCase(host, ".local");
}

void LocalHostNames::Install(Lookup lookup) {
    const std::lock_guard<std::mutex> guard(LookupLock());
    InstalledLookup() = std::move(lookup);
}

LocalHostNames::Answer LocalHostNames::Resolve(const std::string& host,
                                               std::chrono::milliseconds timeout) {
    if (!IsLocal(host)) {
        return {};
    }
    Lookup lookup;
    {
        const std::lock_guard<std::mutex> guard(LookupLock());
        lookup = InstalledLookup();
    }
    return lookup ? lookup(host, timeout) : Answer{};
}
