#include "ui/main/printer_watch.h"

#include "ui/main/printer_reader.h"

namespace {

// A refresh asks no sooner than this after the last answer about the printer, so that an
// answer fetched for a command in between does not bring a second question right after.
constexpr std::chrono::milliseconds RefreshAge{4000};

JobOptions QuestionOptions() {
    JobOptions options;
    options.timeouts = Timeouts::All(PrinterWatch::QuestionTimeout);
    return options;
}

} // namespace

PrinterWatch::PrinterWatch(PrinterAccess& printers, QObject* parent)
    : QObject(parent), reader_(new PrinterReader(printers, QuestionOptions(), this)) {
    connect(reader_, &PrinterReader::Answered, this, &PrinterWatch::Reader_Answered);
}

PrinterWatch::~PrinterWatch() {
    delete reader_;
}

void PrinterWatch::Watch(const std::optional<PrinterTarget>& printer) {
    watched_ = printer;
    watchWanted_ = printer.has_value();
    Pump();
}

void PrinterWatch::Refresh() {
    if (!watched_ || Recent(*watched_, RefreshAge) != nullptr) {
        return;
    }
    watchWanted_ = true;
    Pump();
}

void PrinterWatch::Get(const PrinterTarget& printer, std::chrono::milliseconds maxAge, Then then) {
    if (const PrinterAnswer* answer = Recent(printer, maxAge)) {
        // A copy: `then` may come back here, and a new answer replace the last one.
        const PrinterAnswer recent = *answer;
        then(recent);
        return;
    }
    waiting_.push_back({printer, std::move(then)});
    Pump();
}

void PrinterWatch::Hold(bool held) {
    held_ = held;
    Pump();
}

void PrinterWatch::Close() {
    closed_ = true;
    waiting_.clear();
}

bool PrinterWatch::Watching(const PrinterTarget& printer) const {
    return watched_ && watched_->Name() == printer.Name();
}

const PrinterAnswer* PrinterWatch::Recent(const PrinterTarget& printer,
                                          std::chrono::milliseconds maxAge) const {
    if (!last_ || last_->printer != printer.Name() || Clock::now() - last_->at >= maxAge) {
        return nullptr;
    }
    return &last_->answer;
}

// A command waiting for an answer goes before the status bar's refresh.
void PrinterWatch::Pump() {
    if (held_ || closed_ || reader_->Busy()) {
        return;
    }
    std::optional<PrinterTarget> next;
    if (!waiting_.empty()) {
        next = waiting_.front().printer;
    } else if (watchWanted_ && watched_) {
        next = watched_;
    }
    if (!next) {
        return;
    }
    if (Watching(*next)) {
        watchWanted_ = false;
    }
    reader_->Read(*next);
}

// Everyone waiting for the printer gets the answer; those waiting for another printer wait
// for the next question, asked once they are served: one of them may start a print run,
// which holds the questions. A caller may show a message box, during which this is entered
// again: the waiting ones are taken out first.
void PrinterWatch::Reader_Answered(const PrinterTarget& printer, const PrinterAnswer& answer) {
    if (closed_) {
        return;
    }
    last_ = Reading{printer.Name(), answer, Clock::now()};
    if (Watching(printer)) {
        emit Seen(printer, answer);
    }
    std::vector<Then> served;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (it->printer.Name() == printer.Name()) {
            served.push_back(std::move(it->then));
            it = waiting_.erase(it);
        } else {
            ++it;
        }
    }
    for (const Then& then : served) {
        then(answer);
    }
    Pump();
}
