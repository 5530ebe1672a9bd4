#include "printing/ipp/ipp_message.h"

#include <cups/cups.h>

void IppMessageDeleter::operator()(ipp_t* message) const {
    ippDelete(message);
}

IppMessage NewPrinterRequest(int operation, const std::string& printerUri) {
    IppMessage request(ippNewRequest(static_cast<ipp_op_t>(operation)));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri.c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}
