#pragma once

#include "printing/job/printer_target.h"
#include "printing/talkback/printer_answer.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class PrinterAccess;
class PrinterReader;

// What the window knows of how its direct printers stand. It asks through one reader, one
// printer at a time: the printer the status bar speaks of (the selected one) when it is
// chosen and again when refreshed, and any printer a command needs an answer about before it
// goes on. No printer is asked while the window's own print run sends (a printer that takes
// one connection at a time is busy with the job then); questions wait for the run's end.
class PrinterWatch final : public QObject {
    Q_OBJECT
public:
    using Then = std::function<void(const PrinterAnswer&)>;

    // How long each source of an answer may take (the printer's language, SNMP, ...): a
    // printer near by answers within milliseconds, and closing the window waits for the
    // question in progress.
    static constexpr std::chrono::seconds QuestionTimeout{2};

    explicit PrinterWatch(PrinterAccess& printers, QObject* parent = nullptr);
    // Waits for the question in progress, which its time-outs bound.
    ~PrinterWatch() override;

    PrinterWatch(const PrinterWatch&) = delete;
    PrinterWatch& operator=(const PrinterWatch&) = delete;

    // The printer the status bar speaks of from now on, asked about at once; none for a
    // queue or no printer. An answer about another printer is no longer news.
    void Watch(const std::optional<PrinterTarget>& printer);
    // Asks about the watched printer again, unless it was answered for lately.
    void Refresh();
    // Calls `then` with an answer about the printer no older than `maxAge`: the last one
    // when it is, at once, else a fresh one when it comes, on the window's thread.
    void Get(const PrinterTarget& printer, std::chrono::milliseconds maxAge, Then then);
    // While held, no printer is asked; questions wait for the release.
    void Hold(bool held);
    // Nothing more is asked, and no one waiting is answered: the window has closed.
    void Close();

signals:
    // A fresh answer about the watched printer.
    void Seen(const PrinterTarget& printer, const PrinterAnswer& answer);

private:
    using Clock = std::chrono::steady_clock;
    struct Waiting {
        PrinterTarget printer;
        Then then;
    };
    struct Reading {
        std::string printer;
        PrinterAnswer answer;
        Clock::time_point at;
    };

    bool Watching(const PrinterTarget& printer) const;
    // The last answer when it is about the printer and younger than `maxAge`.
    const PrinterAnswer* Recent(const PrinterTarget& printer,
                                std::chrono::milliseconds maxAge) const;
    // Asks the next question, when the reader is free and nothing holds it.
    void Pump();
    void Reader_Answered(const PrinterTarget& printer, const PrinterAnswer& answer);

    PrinterReader* reader_ = nullptr;
    std::optional<PrinterTarget> watched_;
    // The watched printer is to be asked when the reader is next free.
    bool watchWanted_ = false;
    std::vector<Waiting> waiting_;
    std::optional<Reading> last_;
    bool held_ = false;
    bool closed_ = false;
};
