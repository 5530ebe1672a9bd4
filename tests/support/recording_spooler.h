#pragma once

#include "printing/spooler.h"

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A spooler that records each operation with its argument and fails the operations it is
// told to fail. A failed operation is still recorded, like a real call that was refused.
class RecordingSpooler final : public Spooler {
public:
    // One call as it reached the spooler: "OpenPrinter(name)", "Write(<n> bytes)", ...
    struct Call {
        std::string operation;
        std::string argument;
        bool operator==(const Call&) const = default;
    };

    // Called before each write, on the thread that writes: a test may hold the job there.
    std::function<void()> beforeWrite;

    void FailOn(const std::string& operation) { failing_.insert({operation, 0}); }
    // Fails the operation only in the given job, counted from 1 by the printer's opening.
    void FailOn(const std::string& operation, int job) { failing_.insert({operation, job}); }

    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<std::string> Operations() const;
    // The data of every Write, in order.
    const std::vector<std::string>& Written() const { return written_; }

    bool OpenPrinter(const std::string& printerName) override;
    bool StartDocument(const std::string& documentName) override;
    bool StartPage() override;
    bool Write(std::string_view data) override;
    bool EndPage() override;
    bool EndDocument() override;
    bool ClosePrinter() override;
    void CancelDocument() override;
    std::string LastError() const override { return lastError_; }
    int JobId() const override { return jobId_; }

private:
    bool Record(const std::string& operation, const std::string& argument = {});

    std::set<std::pair<std::string, int>> failing_;
    int jobs_ = 0;
    std::vector<Call> calls_;
    std::vector<std::string> written_;
    std::string lastError_;
    int jobId_ = 0;
};
