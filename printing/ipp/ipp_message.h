#pragma once

#include <memory>
#include <string>

struct _ipp_s;

// One IPP request or response, deleted with the library's own call on every path.
struct IppMessageDeleter {
    void operator()(_ipp_s* message) const;
};
using IppMessage = std::unique_ptr<_ipp_s, IppMessageDeleter>;

// A request for the operation on the printer at the URI, from the user the library names:
// the two attributes every printer operation starts with.
IppMessage NewPrinterRequest(int operation, const std::string& printerUri);
