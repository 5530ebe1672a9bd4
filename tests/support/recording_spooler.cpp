#include "tests/support/recording_spooler.h"

std::vector<std::string> RecordingSpooler::Operations() const {
    std::vector<std::string> operations;
    for (const Call& call : calls_) {
        operations.push_back(call.operation);
    }
    return operations;
}

bool RecordingSpooler::Record(const std::string& operation, const std::string& argument) {
    calls_.push_back({operation, argument});
    if (failing_.count({operation, 0}) != 0 || failing_.count({operation, jobs_}) != 0) {
        lastError_ = operation + " refused";
        return false;
    }
    return true;
}

bool RecordingSpooler::OpenPrinter(const std::string& printerName) {
    ++jobs_;
    return Record("OpenPrinter", printerName);
}

bool RecordingSpooler::StartDocument(const std::string& documentName) {
    const bool accepted = Record("StartDocument", documentName);
    if (accepted) {
        ++jobId_;
    }
    return accepted;
}

bool RecordingSpooler::StartPage() {
    return Record("StartPage");
}

bool RecordingSpooler::Write(std::string_view data) {
    if (beforeWrite) {
        beforeWrite();
    }
    written_.emplace_back(data);
    return Record("Write", std::to_string(data.size()) + " bytes");
}

bool RecordingSpooler::EndPage() {
    return Record("EndPage");
}
bool RecordingSpooler::EndDocument() {
    return Record("EndDocument");
}
bool RecordingSpooler::ClosePrinter() {
    return Record("ClosePrinter");
}
void RecordingSpooler::CancelDocument() {
    Record("CancelDocument");
}
