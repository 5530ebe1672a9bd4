#pragma once

#include "printing/ipp/http_deadline.h"
#include "printing/ipp/ipp_message.h"
#include "printing/job/job_status.h"

#include <chrono>
#include <memory>
#include <string>

struct _http_s;
struct _ipp_s;

// Asks an IPP server, the CUPS scheduler or a printer itself, how a printer and its jobs
// stand: Get-Job-Attributes, Get-Printer-Attributes and Get-Jobs on one connection that
// it owns. Every exchange together must end within the time-out given; past it a request
// fails with the no-answer words given. Failures throw JobMonitorError.
class IppStatusClient {
public:
    struct ConnectionDeleter {
        void operator()(_http_s* connection) const;
    };
    using Connection = std::unique_ptr<_http_s, ConnectionDeleter>;

    // printerUri names the printer in each request; resource is the HTTP path requests
    // are posted to ("/" for the scheduler, the printer's own path for a printer).
    IppStatusClient(Connection connection, std::string printerUri, std::string resource,
                    std::chrono::milliseconds timeout, std::string noAnswerMessage);
    ~IppStatusClient();
    IppStatusClient(const IppStatusClient&) = delete;
    IppStatusClient& operator=(const IppStatusClient&) = delete;

    // The job's state with the printer's state, message and reasons. A job the server
    // does not know (any more) is Unknown.
    JobStatus Job(int jobId);
    // The printer's state, message, reasons, whether it accepts jobs, and the jobs not
    // yet completed.
    PrinterStatus Printer();

private:
    using Message = IppMessage;

    Message NewRequest(int operation) const;
    // Sends the request; nothing when the server knows no such job (job requests only).
    Message Exchange(Message request, bool jobMayBeGone);
    PrinterStatus ReadPrinter(_ipp_s* response) const;
    void ReadJobs(_ipp_s* response, PrinterStatus& status) const;

    // Declared before the connection, which it watches, so that it outlives it.
    HttpDeadline deadline_;
    Connection connection_;
    std::string printerUri_;
    std::string resource_;
    std::string noAnswerMessage_;
};
