#include "printing/dnssd_win/dnsapi_library.h"

namespace {

// A function of the module by name, as the type the table holds; null where it is missing.
// GetProcAddress gives every function one type; the detour through a function without
// parameters is the conversion the compilers accept without a warning.
template <typename Function> Function Find(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

DnsapiLibrary::DnsapiLibrary()
    : module_(LoadLibraryExW(L"dnsapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    calls_.browse = Find<DnsapiCalls::Browse>(module_, "DnsServiceBrowse");
    calls_.browseCancel = Find<DnsapiCalls::Cancel>(module_, "DnsServiceBrowseCancel");
    calls_.resolve = Find<DnsapiCalls::Resolve>(module_, "DnsServiceResolve");
    calls_.resolveCancel = Find<DnsapiCalls::Cancel>(module_, "DnsServiceResolveCancel");
    calls_.freeInstance = Find<DnsapiCalls::FreeInstance>(module_, "DnsServiceFreeInstance");
    calls_.free = Find<DnsapiCalls::Free>(module_, "DnsFree");
}

DnsapiLibrary::~DnsapiLibrary() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

const DnsapiCalls& DnsapiLibrary::System() {
    static const DnsapiLibrary library;
    return library.Calls();
}
