// The main window during a print run of one large file: how late a 10 ms timer on the
// window's thread fires while the run goes (each lateness is a moment the window could
// not repaint or answer), and the program's peak memory, taken whole and as the growth
// over what it held before the run.
//
//   print_run_window_bench QUEUE FILE     (CUPS_SERVER pointing at the scheduler)
//
// Prints one line per figure; the run's messages, if any, go to the desktop's message box
// as usual, and the exit status is 1 when the run showed one.
#include "printing/cups/cups_printer_catalog.h"
#include "printing/direct/direct_options.h"
#include "printing/platform/platform_job_monitor.h"
#include "printing/platform/platform_spooler.h"
#include "ui/main/frm_main.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int TickMs = 10;

// A desktop that shows nothing and remembers whether a message was asked for.
class SilentDesktop final : public Desktop {
public:
    int messages = 0;
    MessageAnswer ShowMessage(const QString& text, MessageButtons, MessageIcon) override {
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s QUEUE FILE\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    SilentDesktop desktop;
    const DirectOptions options;
    const std::unique_ptr<Spooler> spooler = MakePlatformSpooler(options);
    const std::unique_ptr<JobMonitor> monitor = MakePlatformJobMonitor(options);
    CupsPrinterCatalog catalog;
    frmMain window(desktop, *spooler, catalog, *monitor);
    window.Load();
    auto* printers = window.findChild<QComboBox*>("cmbPrinter");
    printers->setCurrentIndex(printers->findText(QString::fromLocal8Bit(argv[1])));
    window.AddFiles({argv[2]});
    window.show();
    auto* print = window.findChild<QPushButton*>("cmdPrint");

    // Settle the window first, so its own start-up is not counted.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const long residentBefore = ResidentKib();

    std::vector<qint64> lateness;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(TickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        lateness.push_back(std::max<qint64>(0, sinceTick.elapsed() - TickMs));
        sinceTick.restart();
    });
    QElapsedTimer run;
    run.start();
    sinceTick.start();
    tick.start();
    print->click();
    while (print->text() != QStringLiteral("Print")) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    tick.stop();
    const qint64 runMs = run.elapsed();

    std::printf("run_seconds %.2f\n", static_cast<double>(runMs) / 1000);
    std::printf("timer_ticks %zu\n", lateness.size());
    std::printf("lateness_max_ms %.0f\n", Percentile(lateness, 1.0));
    std::printf("lateness_p99_ms %.0f\n", Percentile(lateness, 0.99));
    std::printf("lateness_p50_ms %.0f\n", Percentile(lateness, 0.5));
    std::printf("peak_rss_kib %ld\n", PeakKib());
    std::printf("rss_before_run_kib %ld\n", residentBefore);
    std::printf("growth_over_run_kib %ld\n", PeakKib() - residentBefore);
    return desktop.messages == 0 ? 0 : 1;
}
