#pragma once

#include "printing/job/job_options.h"
#include "printing/job/printer_target.h"
#include "printing/talkback/printer_answer.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

class PrinterAccess;

// Asks a printer reached by its address how it stands, one printer at a time, on a thread
// of its own: a question waits on the printer as long as the options' time-outs allow, never
// on the window's thread. The answer reaches the thread that made the reader, through its
// event loop.
class PrinterReader final : public QObject {
    Q_OBJECT
public:
    PrinterReader(PrinterAccess& printers, const JobOptions& options, QObject* parent = nullptr);
    // Ends the thread, after the question it may be waiting on.
    ~PrinterReader() override;

    PrinterReader(const PrinterReader&) = delete;
    PrinterReader& operator=(const PrinterReader&) = delete;

    // Asks about the printer; false, and nothing asked, while a question is in progress.
    bool Read(const PrinterTarget& printer);
    // A question is asked and its answer not yet delivered.
    bool Busy() const { return busy_; }

signals:
    void Answered(const PrinterTarget& printer, const PrinterAnswer& answer);

private:
    void Run();
    PrinterAnswer Ask(const PrinterTarget& printer);

    PrinterAccess& printers_;
    const JobOptions options_;
    // Only the window's thread reads and writes it.
    bool busy_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    // Set when the reader goes: the question in progress gives up its wait on the printer.
    std::atomic<bool> stop_{false};
    std::optional<PrinterTarget> next_;
    // Started with the first question: a window that never lists an address never has it.
    std::thread thread_;
};
