#include "printing/ipp/http_address_list.h"

#include "printing/address/local_host_names.h"

#include <cups/http.h>
#include <sys/socket.h>

HttpAddressList::HttpAddressList(const std::string& host, int port,
                                 std::chrono::milliseconds timeout) {
    const LocalHostNames::Answer answer = LocalHostNames::Resolve(host, timeout);
    lookupFailure_ = answer.failure;
    const std::string service = std::to_string(port);
    // Numeric addresses only: libcups turns them into socket addresses without asking any
    // resolver. Each one's list goes at the end of the last.
    http_addrlist_t** tail = &list_;
    for (const std::string& address : answer.addresses) {
        *tail = httpAddrGetList(address.c_str(), AF_UNSPEC, service.c_str());
        while (*tail != nullptr) {
            tail = &(*tail)->next;
        }
    }
}

HttpAddressList::~HttpAddressList() {
    httpAddrFreeList(list_);
}
