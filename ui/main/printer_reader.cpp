#include "ui/main/printer_reader.h"

#include "printing/job/printer_access.h"

#include <QMetaObject>
#include <exception>

PrinterReader::PrinterReader(PrinterAccess& printers, const JobOptions& options, QObject* parent)
    : QObject(parent), printers_(printers), options_(options) {}

PrinterReader::~PrinterReader() {
    stop_ = true;
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool PrinterReader::Read(const PrinterTarget& printer) {
    if (busy_) {
        return false;
    }
    busy_ = true;
    {
        const std::lock_guard lock(mutex_);
        next_ = printer;
    }
    wake_.notify_all();
    if (!thread_.joinable()) {
        thread_ = std::thread(&PrinterReader::Run, this);
    }
    return true;
}

// The answer is posted to the reader itself: once the reader is gone, an answer still on
// its way is dropped with it.
void PrinterReader::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || next_.has_value(); });
        if (quit_) {
            return;
        }
        const PrinterTarget printer = std::move(*next_);
        next_.reset();
        lock.unlock();
        PrinterAnswer answer = Ask(printer);
        QMetaObject::invokeMethod(
            this,
            [this, printer, answer = std::move(answer)] {
                busy_ = false;
                emit Answered(printer, answer);
            },
            Qt::QueuedConnection);
        lock.lock();
    }
}

// Printer trouble comes back in the answer; anything else thrown is said the same way, as
// nothing may leave the thread.
PrinterAnswer PrinterReader::Ask(const PrinterTarget& printer) {
    try {
        return printers_.Ask(printer, options_, &stop_);
    } catch (const std::exception& error) {
        PrinterAnswer answer;
        answer.notes.emplace_back(error.what());
        return answer;
    }
}
