#include "printing/win/win_spooler.h"

#include "printing/win/win_error.h"
#include "core/win_text.h"

#include <limits>
#include <optional>
#include <type_traits>
#include <utility>
#include <windows.h>
#include <winspool.h>

// winspool.h names the ANSI or wide form through a macro of the plain name, which would
// rename this class's own OpenPrinter; the wide form is called by its full name.
#undef OpenPrinter

static_assert(std::is_same_v<HANDLE, void*>, "a printer handle is held as void*");

namespace {

// The data type that hands the bytes to the printer as they are. Without one the queue's
// default applies, which on many queues changes them ("RAW [FF appended]" adds a form
// feed, "NT EMF" and "TEXT" render them anew).
constexpr wchar_t RawDataType[] = L"RAW";
// What a version-4 (XPS) driver passes through unchanged; such a driver refuses RAW.
constexpr wchar_t XpsPassDataType[] = L"XPS_PASS";

} // namespace

unsigned long WinSpooler::StartDocumentOnSpooler(void* printer, const std::wstring& documentName,
                                                 const wchar_t* dataType) {
    // The spooler takes its strings as writable buffers, though it does not change them.
    std::wstring name = documentName;
    std::wstring type = dataType;
    DOC_INFO_1W document{};
    document.pDocName = name.data();
    document.pOutputFile = nullptr;
    document.pDatatype = type.data();
    return StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&document));
}

void WinSpooler::PrinterCloser::operator()(void* printer) const {
    ::ClosePrinter(printer);
}

WinSpooler::WinSpooler() : WinSpooler(&WinSpooler::StartDocumentOnSpooler) {}

WinSpooler::WinSpooler(DocumentStarter startDocument) : startDocument_(std::move(startDocument)) {}

WinSpooler::~WinSpooler() {
    ClosePrinter();
}

bool WinSpooler::Fail(const std::string& reason) {
    failed_ = true;
    lastError_ = reason;
    return false;
}

bool WinSpooler::FailWithLastError() {
    return Fail(LastWinErrorText());
}

bool WinSpooler::OpenPrinter(const std::string& printerName) {
    ClosePrinter();
    failed_ = false;
    jobId_ = 0;
    lastError_.clear();
    // An empty name would open the print server or the default printer: never send there
    // by accident.
    if (printerName.empty()) {
        return Fail("No printer name was given.");
    }
    // The spooler reads the name up to its first NUL: a name holding one would open
    // another printer.
    if (printerName.find('\0') != std::string::npos) {
        return Fail("The printer name holds a NUL character.");
    }
    std::optional<std::wstring> name = WinText::Wide(printerName);
    if (!name) {
        return Fail("The printer name is not valid UTF-8.");
    }
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name->data(), &printer, nullptr)) {
        return FailWithLastError();
    }
    printer_.reset(printer);
    return true;
}

bool WinSpooler::StartDocument(const std::string& documentName) {
    if (failed_ || !printer_ || documentOpen_) {
        return false;
    }
    const std::optional<std::wstring> name = WinText::Wide(documentName);
    if (!name) {
        return Fail("The document name is not valid UTF-8.");
    }
    DWORD job = startDocument_(printer_.get(), *name, RawDataType);
    if (job == 0 && GetLastError() == ERROR_INVALID_DATATYPE) {
        job = startDocument_(printer_.get(), *name, XpsPassDataType);
    }
    if (job == 0) {
        return FailWithLastError();
    }
    jobId_ = static_cast<int>(job);
    documentOpen_ = true;
    return true;
}

bool WinSpooler::StartPage() {
    if (failed_ || !documentOpen_ || pageOpen_) {
        return false;
    }
    if (!StartPagePrinter(printer_.get())) {
        return FailWithLastError();
    }
    pageOpen_ = true;
    return true;
}

bool WinSpooler::Write(std::string_view data) {
    if (failed_ || !pageOpen_) {
        return false;
    }
    // The count is a DWORD: more than that can't go in the one write a job has, and
    // sending only part of the data would print a truncated job.
    if (data.size() > std::numeric_limits<DWORD>::max()) {
        return Fail("The job holds " + std::to_string(data.size()) +
                    " bytes; the spooler takes at most " +
                    std::to_string(std::numeric_limits<DWORD>::max()) + " bytes in one write.");
    }
    static char nothing = 0;
    void* bytes = data.empty() ? &nothing : const_cast<char*>(data.data());
    const DWORD size = static_cast<DWORD>(data.size());
    DWORD written = 0;
    if (!WritePrinter(printer_.get(), bytes, size, &written)) {
        return FailWithLastError();
    }
    if (written != size) {
        return Fail("The spooler took only " + std::to_string(written) + " of " +
                    std::to_string(size) + " bytes.");
    }
    return true;
}

bool WinSpooler::EndPage() {
    if (failed_ || !pageOpen_) {
        return false;
    }
    pageOpen_ = false;
    if (!EndPagePrinter(printer_.get())) {
        return FailWithLastError();
    }
    return true;
}

bool WinSpooler::EndDocument() {
    if (failed_) {
        AbortJob();
        return false;
    }
    if (!documentOpen_) {
        return false;
    }
    documentOpen_ = false;
    pageOpen_ = false;
    if (!EndDocPrinter(printer_.get())) {
        const bool result = FailWithLastError();
        // The document may stand in the queue in whatever state the failure left it: take
        // it out by its number, so that an incomplete job does not print.
        DeleteJob();
        return result;
    }
    return true;
}

bool WinSpooler::ClosePrinter() {
    if (!printer_) {
        return true;
    }
    if (documentOpen_) {
        AbortJob();
    }
    if (!::ClosePrinter(printer_.release())) {
        // The first failure is the one worth reporting; a close after it is only a symptom.
        if (failed_) {
            return false;
        }
        return FailWithLastError();
    }
    return true;
}

void WinSpooler::CancelDocument() {
    if (!failed_) {
        Fail("The job was cancelled because its data could not be read.");
    }
    AbortJob();
}

void WinSpooler::DeleteJob() {
    if (jobId_ != 0) {
        SetJobW(printer_.get(), static_cast<DWORD>(jobId_), 0, nullptr, JOB_CONTROL_DELETE);
    }
}

// AbortPrinter deletes the document's spool file where the printer spools. Where it prints
// directly, the bytes written so far have gone to the port and can't be called back; the
// document is only ended there.
void WinSpooler::AbortJob() {
    if (documentOpen_ && printer_) {
        AbortPrinter(printer_.get());
    }
    documentOpen_ = false;
    pageOpen_ = false;
}
