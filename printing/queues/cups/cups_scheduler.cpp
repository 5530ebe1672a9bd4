#include "printing/queues/cups/cups_scheduler.h"

#include "core/seconds_text.h"
#include "printing/ipp/http_deadline.h"
#include "printing/ipp/ipp_message.h"

#include <cups/cups.h>
#include <memory>

namespace CupsScheduler {

std::string NoAnswerMessage() {
    return std::string("No print scheduler answers at ") + cupsServer() + ".";
}

std::string SilentMessage(std::chrono::milliseconds timeout) {
    // A host is named with its port, as CUPS_SERVER writes it; a socket is its path.
    std::string server = cupsServer();
    if (!server.starts_with('/')) {
        server += ':' + std::to_string(ippPort());
    }
    return "The print scheduler at " + server + " did not answer within " + SecondsText(timeout) +
           ".";
}

std::string CheckAnswers(std::chrono::milliseconds timeout) {
    HttpDeadline deadline(timeout);
    const std::unique_ptr<http_t, decltype(&httpClose)> connection(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                     static_cast<int>(timeout.count()), nullptr),
        &httpClose);
    if (!connection) {
        return NoAnswerMessage();
    }
    deadline.Watch(connection.get());
    // Any answer, even a refusal, shows the scheduler is there.
    const IppMessage response(
        cupsDoRequest(connection.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
    if (response) {
        return {};
    }
    if (deadline.Passed()) {
        return SilentMessage(timeout);
    }
    return cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ? NoAnswerMessage()
                                                                   : std::string();
}

std::string QueueUri(const std::string& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", name.c_str());
    return uri;
}

} // namespace CupsScheduler
