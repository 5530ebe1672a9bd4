// The main window while a print run goes: how late a 10 ms timer on the window's thread
// fires (each lateness is a moment the window could not repaint or answer).
//
//   print_run_window_bench QUEUE FILE
//       Print with one large file in the list, until the run ends; also the program's
//       peak memory, taken whole and as the growth over what it held before the run.
//   print_run_window_bench --codes PRINTER CODES [SECONDS]
//       Send Codes with CODES in the code box (written as the box shows them, e.g.
//       "<ESC>E"), measured for SECONDS (5 unless given) while the job is still going,
//       e.g. to a printer that takes the bytes and never answers; then the window is
//       closed, which withdraws the job, and the time the window took to go is given.
//       PRINTER is a queue of the printer list or an address such as
//       socket://127.0.0.1:9100, added as the Add Printer Address command does.
//
// (CUPS_SERVER pointing at the scheduler when a queue is used.) Prints one line per
// figure; the run's messages, if any, go to the desktop's message box as usual, and the
// exit status is 1 when the run showed one, or when the codes' job ended before its time
// was up.
#include "printing/address/printer_address.h"
#include "printing/job/job_monitor.h"
#include "printing/job/job_options.h"
#include "printing/platform/platform_printer_access.h"
#include "printing/printer_catalog.h"
#include "ui/code_box/code_box.h"
#include "ui/main/frm_main.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int TickMs = 10;
constexpr int SettleMs = 500;
constexpr double DefaultCodesSeconds = 5;

// A desktop that shows nothing and remembers whether a message was asked for. The
// question on closing the window while a run goes is answered Yes, as a user who closes
// it means.
class SilentDesktop final : public Desktop {
public:
    int messages = 0;
    MessageAnswer ShowMessage(const QString& text, MessageButtons buttons, MessageIcon) override {
        if (buttons == MessageButtons::YesNo) {
            return MessageAnswer::Yes;
        }
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++messages;
        return MessageAnswer::Ok;
    }
    bool ShowOpen(CommonDialog&) override { return false; }
    bool ShowSave(CommonDialog&) override { return false; }
    void OpenDocument(const QString&, std::function<void()> failed) override { failed(); }
    bool OpenWebAddress(const QString&) override { return false; }
    bool StartProgram(const QString&, const QStringList&) override { return false; }
    QTime LocalTime() override { return QTime::currentTime(); }
};

long PeakKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The resident set now, from /proc (the peak only ever grows).
long ResidentKib() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * 4;
}

double Percentile(std::vector<qint64> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return static_cast<double>(values[index]);
}

// A 10 ms timer on the window's thread, each firing's lateness kept.
class Lateness {
public:
    Lateness() {
        tick_.setTimerType(Qt::PreciseTimer);
        tick_.setInterval(TickMs);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            values_.push_back(std::max<qint64>(0, sinceTick_.elapsed() - TickMs));
            sinceTick_.restart();
        });
    }

    void Start() {
        sinceTick_.start();
        tick_.start();
    }
    void Stop() { tick_.stop(); }

    void Print() const {
        std::printf("timer_ticks %zu\n", values_.size());
        std::printf("lateness_max_ms %.0f\n", Percentile(values_, 1.0));
        std::printf("lateness_p99_ms %.0f\n", Percentile(values_, 0.99));
        std::printf("lateness_p50_ms %.0f\n", Percentile(values_, 0.5));
    }

private:
    QTimer tick_;
    QElapsedTimer sinceTick_;
    std::vector<qint64> values_;
};

void Settle() {
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < SettleMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

// Selects the queue or the address in the printer list; false, with the reason on
// standard error, when it can't be.
bool SelectPrinter(frmMain& window, const std::string& printer) {
    if (PrinterAddress::IsAddress(printer)) {
        const ParsedPrinterAddress parsed = PrinterAddress::Parse(printer);
        if (!parsed.address) {
            std::fprintf(stderr, "%s: %s\n", printer.c_str(), parsed.error.c_str());
            return false;
        }
        window.AddPrinterAddresses({*parsed.address});
        return true;
    }
    auto* printers = window.findChild<QComboBox*>("cmbPrinter");
    const int index = printers->findText(QString::fromLocal8Bit(printer.c_str()));
    if (index < 0) {
        std::fprintf(stderr, "%s is not in the printer list\n", printer.c_str());
        return false;
    }
    printers->setCurrentIndex(index);
    return true;
}

// Print with the file in the list, until the button reads Print again.
void MeasurePrint(frmMain& window, const std::string& file) {
    window.AddFiles({file});
    window.show();
    auto* print = window.findChild<QPushButton*>("cmdPrint");
    // Settle the window first, so its own start-up is not counted.
    Settle();
    const long residentBefore = ResidentKib();

    Lateness lateness;
    QElapsedTimer run;
    run.start();
    lateness.Start();
    print->click();
    while (print->text() != QStringLiteral("Print")) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    lateness.Stop();
    const qint64 runMs = run.elapsed();

    std::printf("run_seconds %.2f\n", static_cast<double>(runMs) / 1000);
    lateness.Print();
    std::printf("peak_rss_kib %ld\n", PeakKib());
    std::printf("rss_before_run_kib %ld\n", residentBefore);
    std::printf("growth_over_run_kib %ld\n", PeakKib() - residentBefore);
}

// Send Codes, measured for `seconds` while the job goes; then the window is closed and
// destroyed, which stops the run and waits for its thread. False when the job ended
// before the time was up.
bool MeasureCodes(std::unique_ptr<frmMain>& window, const QString& codes, double seconds) {
    window->findChild<CodeBox*>("txtCodes")->SetText(codes);
    window->show();
    auto* send = window->findChild<QPushButton*>("cmdSend");
    Settle();

    Lateness lateness;
    QElapsedTimer run;
    run.start();
    lateness.Start();
    send->click();
    const bool started = !send->isEnabled();
    const auto limitMs = static_cast<qint64>(seconds * 1000);
    // Send Codes is enabled again once the run is over.
    while (run.elapsed() < limitMs && !send->isEnabled()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    lateness.Stop();
    const bool stillGoing = !send->isEnabled();
    std::printf("measured_seconds %.2f\n", static_cast<double>(run.elapsed()) / 1000);
    std::printf("job_still_going %d\n", stillGoing ? 1 : 0);
    lateness.Print();

    QElapsedTimer closing;
    closing.start();
    window->close();
    const qint64 closeMs = closing.elapsed();
    window.reset();
    std::printf("close_ms %lld\n", static_cast<long long>(closeMs));
    std::printf("close_to_gone_ms %lld\n", static_cast<long long>(closing.elapsed()));
    if (!started) {
        std::fprintf(stderr, "Send Codes started no run\n");
    } else if (!stillGoing) {
        std::fprintf(stderr, "the job ended before %.1f s\n", seconds);
    }
    return started && stillGoing;
}

int Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s QUEUE FILE\n"
                 "       %s --codes PRINTER CODES [SECONDS]\n",
                 program, program);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const bool codes = argc > 1 && std::string(argv[1]) == "--codes";
    if (codes ? argc != 4 && argc != 5 : argc != 3) {
        return Usage(argv[0]);
    }
    const double seconds = codes && argc == 5 ? std::atof(argv[4]) : DefaultCodesSeconds;
    if (seconds <= 0) {
        return Usage(argv[0]);
    }
    QApplication application(argc, argv);
    SilentDesktop desktop;
    const std::unique_ptr<PrinterAccess> access = MakePlatformPrinterAccess();
    const std::unique_ptr<JobMonitor> monitor = access->Monitor(Timeouts());
    const std::unique_ptr<PrinterCatalog> catalog = access->Catalog(Timeouts());
    auto window = std::make_unique<frmMain>(desktop, *access, *catalog, *monitor);
    window->Load();
    if (!SelectPrinter(*window, codes ? argv[2] : argv[1])) {
        return 2;
    }
    // Only the run's messages count: a machine without queues is told so at start-up,
    // which does not matter to a printer reached by its address.
    desktop.messages = 0;
    bool ran = true;
    if (codes) {
        ran = MeasureCodes(window, QString::fromLocal8Bit(argv[3]), seconds);
    } else {
        MeasurePrint(*window, argv[2]);
    }
    return ran && desktop.messages == 0 ? 0 : 1;
}
