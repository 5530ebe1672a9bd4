#pragma once

#include <string>
#include <string_view>

// The platform's print spooler, as the raw job sees it: one printer, one document, one
// page, and the document's bytes in one write or, for a stream, in one write per piece as
// it is read. Each operation reports whether the spooler accepted it. An operation after a
// failed one must be harmless, because the job always walks every step.
class Spooler {
public:
    virtual ~Spooler() = default;

    virtual bool OpenPrinter(const std::string& printerName) = 0;
    virtual bool StartDocument(const std::string& documentName) = 0;
    virtual bool StartPage() = 0;
    // Appends the bytes to the page; may be called any number of times between StartPage
    // and EndPage.
    virtual bool Write(std::string_view data) = 0;
    virtual bool EndPage() = 0;
    virtual bool EndDocument() = 0;
    virtual bool ClosePrinter() = 0;

    // Withdraws the document that is open: what the spooler still holds of it never
    // prints. Bytes a spooler has already passed on (a printer that doesn't spool takes
    // them straight to its port) stay sent. Used when the data for the job can't be had
    // after the document was started, before anything was written.
    virtual void CancelDocument() = 0;

    // Why the last failing operation failed, in the spooler's own words.
    virtual std::string LastError() const = 0;

    // The spooler's number for the last document started, or 0 when none was.
    virtual int JobId() const = 0;
};
