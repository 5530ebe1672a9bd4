#include "printing/queues/win/win_backend.h"

#include "core/win_text.h"
#include "printing/job/job_failure.h"
#include "printing/queues/win/win_error.h"

#include <limits>
#include <optional>
#include <utility>
#include <windows.h>
#include <winspool.h>

namespace {

// The data type that hands the bytes to the printer as they are. Without one the queue's
// default applies, which on many queues changes them ("RAW [FF appended]" adds a form
// feed, "NT EMF" and "TEXT" render them anew).
constexpr wchar_t RawDataType[] = L"RAW";
// What a version-4 (XPS) driver passes through unchanged; such a driver refuses RAW.
constexpr wchar_t XpsPassDataType[] = L"XPS_PASS";

// A step the spooler refused, in its own words.
[[noreturn]] void Refused() {
    throw JobFailure(FailureKind::Refused, LastWinErrorText());
}

} // namespace

unsigned long WinBackend::StartDocumentOnSpooler(void* printer, const std::wstring& documentName,
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

WinBackend::WinBackend(std::string queueName, JobOptions options)
    : WinBackend(std::move(queueName), std::move(options), &WinBackend::StartDocumentOnSpooler) {}

WinBackend::WinBackend(std::string queueName, JobOptions options, DocumentStarter startDocument)
    : queueName_(std::move(queueName)), options_(std::move(options)),
      startDocument_(std::move(startDocument)) {}

WinBackend::~WinBackend() {
    Abort();
}

void WinBackend::Open(std::optional<std::uint64_t>) {
    const std::string refusal = printer_.Open(queueName_);
    if (!refusal.empty()) {
        throw JobFailure(FailureKind::Unreachable, refusal);
    }
    const std::optional<std::wstring> title = WinText::Wide(options_.title);
    if (!title) {
        throw JobFailure(FailureKind::Refused, "The document name is not valid UTF-8.");
    }
    DWORD job = startDocument_(printer_.Get(), *title, RawDataType);
    if (job == 0 && GetLastError() == ERROR_INVALID_DATATYPE) {
        job = startDocument_(printer_.Get(), *title, XpsPassDataType);
    }
    if (job == 0) {
        Refused();
    }
    jobId_ = static_cast<int>(job);
    documentOpen_ = true;
    if (!StartPagePrinter(printer_.Get())) {
        Refused();
    }
}

void WinBackend::Write(std::string_view data) {
    // The count is a DWORD: more than that can't go in one write, and sending only part of
    // the data would print a truncated job.
    if (data.size() > std::numeric_limits<DWORD>::max()) {
        throw JobFailure(
            FailureKind::Refused,
            "The job holds " + std::to_string(data.size()) + " bytes; the spooler takes at most " +
                std::to_string(std::numeric_limits<DWORD>::max()) + " bytes in one write.");
    }
    static char nothing = 0;
    void* bytes = data.empty() ? &nothing : const_cast<char*>(data.data());
    const DWORD size = static_cast<DWORD>(data.size());
    DWORD written = 0;
    if (!WritePrinter(printer_.Get(), bytes, size, &written)) {
        Refused();
    }
    if (written != size) {
        throw JobFailure(FailureKind::Refused, "The spooler took only " + std::to_string(written) +
                                                   " of " + std::to_string(size) + " bytes.");
    }
}

void WinBackend::Finish() {
    if (!EndPagePrinter(printer_.Get())) {
        Refused();
    }
    // Past this point the document is not aborted: an end that fails is undone by number.
    documentOpen_ = false;
    if (!EndDocPrinter(printer_.Get())) {
        const std::string reason = LastWinErrorText();
        // The document may stand in the queue in whatever state the failure left it: take
        // it out by its number, so that an incomplete job does not print.
        if (jobId_ != 0) {
            SetJobW(printer_.Get(), static_cast<DWORD>(jobId_), 0, nullptr, JOB_CONTROL_DELETE);
        }
        throw JobFailure(FailureKind::Refused, reason);
    }
    if (!printer_.Close()) {
        Refused();
    }
}

// AbortPrinter deletes the document's spool file where the printer spools. Where it prints
// directly, the bytes written so far have gone to the port and can't be called back; the
// document is only ended there. The first failure is the one worth reporting: a close
// after it is only a symptom, and goes unsaid.
void WinBackend::Abort() {
    if (documentOpen_ && printer_.IsOpen()) {
        AbortPrinter(printer_.Get());
    }
    documentOpen_ = false;
    printer_.Close();
}
