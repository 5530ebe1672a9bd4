#include "printing/cups/cups_spooler.h"

#include "printing/cups/cups_scheduler.h"

#include <cups/cups.h>

void CupsSpooler::DestinationDeleter::operator()(cups_dest_t* destination) const {
    cupsFreeDests(1, destination);
}

void CupsSpooler::ConnectionDeleter::operator()(http_t* connection) const {
    httpClose(connection);
}

CupsSpooler::CupsSpooler() = default;

CupsSpooler::~CupsSpooler() {
    ClosePrinter();
}

bool CupsSpooler::Fail(const std::string& reason) {
    failed_ = true;
    lastError_ = reason;
    return false;
}

bool CupsSpooler::FailWithCupsError() {
    return Fail(cupsLastErrorString());
}

bool CupsSpooler::OpenPrinter(const std::string& printerName) {
    ClosePrinter();
    failed_ = false;
    jobId_ = 0;
    lastError_.clear();
    printerName_ = printerName;
    // An empty name would make CUPS pick its default printer: never send there by accident.
    if (printerName.empty()) {
        return Fail("No printer name was given.");
    }
    // A connection of the job's own, so that a failed job can be dropped mid-request
    // without disturbing the library's shared connection. It comes first: the look-up of
    // the name says "does not exist" for a scheduler that doesn't answer as well.
    connection_.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                   30000, nullptr));
    if (!connection_) {
        return Fail(CupsScheduler::NoAnswerMessage());
    }
    destination_.reset(cupsGetNamedDest(connection_.get(), printerName.c_str(), nullptr));
    if (!destination_) {
        const ipp_status_t status = cupsLastError();
        const std::string reason = cupsLastErrorString();
        connection_.reset();
        if (status <= IPP_STATUS_OK_EVENTS_COMPLETE) {
            return Fail("There is no printer named \"" + printerName + "\".");
        }
        return Fail(reason);
    }
    return true;
}

bool CupsSpooler::StartDocument(const std::string& documentName) {
    if (failed_ || !connection_) {
        return false;
    }
    documentName_ = documentName;
    cups_option_t* options = nullptr;
    int optionCount = cupsAddOption("raw", "true", 0, &options);
    jobId_ = cupsCreateJob(connection_.get(), printerName_.c_str(), documentName.c_str(),
                           optionCount, options);
    const std::string createError = cupsLastErrorString();
    cupsFreeOptions(optionCount, options);
    if (jobId_ == 0) {
        return Fail(createError);
    }
    return true;
}

bool CupsSpooler::StartPage() {
    if (failed_ || jobId_ == 0) {
        return false;
    }
    // Never CUPS_FORMAT_AUTO: unknown bytes would be typed as text and filtered or refused.
    const http_status_t status = cupsStartDocument(connection_.get(), printerName_.c_str(), jobId_,
                                                   documentName_.c_str(), CUPS_FORMAT_RAW, 1);
    if (status != HTTP_STATUS_CONTINUE) {
        return FailWithCupsError();
    }
    requestOpen_ = true;
    return true;
}

bool CupsSpooler::Write(std::string_view data) {
    if (failed_ || !requestOpen_) {
        return false;
    }
    if (cupsWriteRequestData(connection_.get(), data.data(), data.size()) != HTTP_STATUS_CONTINUE) {
        return FailWithCupsError();
    }
    return true;
}

bool CupsSpooler::EndPage() {
    return !failed_ && requestOpen_;
}

bool CupsSpooler::EndDocument() {
    if (failed_) {
        CancelJob();
        return false;
    }
    if (!requestOpen_) {
        return false;
    }
    requestOpen_ = false;
    // Any of the successful-ok statuses means the scheduler took the whole document.
    if (cupsFinishDocument(connection_.get(), printerName_.c_str()) >
        IPP_STATUS_OK_EVENTS_COMPLETE) {
        const bool result = FailWithCupsError();
        CancelJob();
        return result;
    }
    return true;
}

bool CupsSpooler::ClosePrinter() {
    if (requestOpen_) {
        CancelJob();
    }
    connection_.reset();
    destination_.reset();
    return true;
}

void CupsSpooler::CancelDocument() {
    if (!failed_) {
        Fail("The job was cancelled because its data could not be read.");
    }
    CancelJob();
}

void CupsSpooler::CancelJob() {
    // Dropping the connection ends an unfinished document request without completing it;
    // the job itself is then cancelled on a fresh connection.
    requestOpen_ = false;
    connection_.reset();
    if (jobId_ != 0) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, printerName_.c_str(), jobId_, 0);
    }
}
