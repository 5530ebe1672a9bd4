#include "printing/discovery/printer_finder.h"
#include "printing/job/printer_backend.h"
#include "printing/platform/platform_printer_access.h"
#include "printing/queues/cups/cups_job_monitor.h"
#include "printing/queues/cups/cups_printer_catalog.h"
#include "printing/talkback/printer_answer.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/private_spooler.h"
#include "tests/support/temp_dir.h"
#include "ui/code_box/code_box.h"
#include "ui/main/frm_main.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <atomic>

namespace {

using PrivateSpooler::CapturedBytes;
using PrivateSpooler::SecondQueue;

// The platform's printers, remembering the number of the last job the scheduler took.
class NumberedPrinters final : public PrinterAccess {
public:
    std::unique_ptr<PrinterBackend> Backend(const PrinterTarget& target,
                                            const JobOptions& options) override {
        return std::make_unique<Numbered>(*this, platform_->Backend(target, options));
    }
    PrinterAnswer Ask(const PrinterTarget& target, const JobOptions& options,
                      const std::atomic<bool>* stop) override {
        return platform_->Ask(target, options, stop);
    }
    std::unique_ptr<JobMonitor> Monitor(const Timeouts& timeouts) override {
        return platform_->Monitor(timeouts);
    }
    std::unique_ptr<PrinterCatalog> Catalog(const Timeouts& timeouts) override {
        return platform_->Catalog(timeouts);
    }
    std::unique_ptr<PrinterFinder> Finder(const DiscoveryOptions& options) override {
        return platform_->Finder(options);
    }
    int JobId() const { return lastJobId_; }

private:
    class Numbered final : public PrinterBackend {
    public:
        Numbered(NumberedPrinters& owner, std::unique_ptr<PrinterBackend> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        void Open(std::optional<std::uint64_t> length) override { inner_->Open(length); }
        void Write(std::string_view data) override { inner_->Write(data); }
        void Finish() override {
            inner_->Finish();
            owner_.lastJobId_ = inner_->JobId();
        }
        void Abort() override { inner_->Abort(); }
        int JobId() const override { return inner_->JobId(); }

    private:
        NumberedPrinters& owner_;
        std::unique_ptr<PrinterBackend> inner_;
    };

    std::unique_ptr<PrinterAccess> platform_ = MakePlatformPrinterAccess();
    std::atomic<int> lastJobId_{0};
};

class MainWindowSpoolerTest : public PrivateSpoolerTest {
protected:
    FakeDesktop desktop;
    NumberedPrinters spooler;
    CupsPrinterCatalog catalog{Timeouts()};
    CupsJobMonitor monitor{Timeouts()};
};

TEST_F(MainWindowSpoolerTest, PrintSendsEachQueuedFileAsOneExactJob) {
    TempDir temp;
    const std::string first = AllByteValues() + std::string(300, '\0');
    const std::string second = "\x1B"
                               "E\x1B&l1O Report\r\n\f";
    WriteBytes(temp.File("first.prn"), first);
    WriteBytes(temp.File("second file.pcl"), second);
    desktop.dialogAnswers = {QString::fromStdString(temp.File("first.prn")),
                             QString::fromStdString(temp.File("second file.pcl"))};

    frmMain window(desktop, spooler, catalog, monitor);
    window.Load();
    window.show();
    auto* printers = window.findChild<QComboBox*>("cmbPrinter");
    ASSERT_NE(printers, nullptr);
    // The scheduler's default queue is preselected; the test prints to the other one.
    EXPECT_EQ(printers->currentText().toStdString(), PrivateSpooler::DefaultQueue);
    const int second_queue = printers->findText(QString::fromLatin1(SecondQueue));
    ASSERT_GE(second_queue, 0);
    printers->setCurrentIndex(second_queue);

    QTest::mouseClick(window.findChild<QPushButton*>("cmdAdd"), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton*>("cmdAdd"), Qt::LeftButton);
    auto* print = window.findChild<QPushButton*>("cmdPrint");
    QTest::mouseClick(print, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([print] { return print->text() == "Print"; }, 60000));

    // The two jobs were made one after the other, and no other test sends meanwhile.
    const int secondId = spooler.JobId();
    const std::optional<std::string> firstJob = CapturedBytes(secondId - 1);
    const std::optional<std::string> secondJob = CapturedBytes(secondId);
    ASSERT_TRUE(firstJob && secondJob);
    EXPECT_EQ(*firstJob, first);
    EXPECT_EQ(*secondJob, second);
    EXPECT_EQ(PrivateSpooler::CapturedQueue(secondId - 1), SecondQueue);
    EXPECT_EQ(PrivateSpooler::CapturedTitle(secondId), "Tolvenmark Document");
    EXPECT_TRUE(desktop.messages.empty());
}

// Codes typed into the box, with a line break from the Enter key between them, reach the
// printer as exactly the bytes they stand for.
TEST_F(MainWindowSpoolerTest, SendCodesSendsTheTypedCodesAsOneExactJob) {
    frmMain window(desktop, spooler, catalog, monitor);
    window.Load();
    window.show();
    auto* printers = window.findChild<QComboBox*>("cmbPrinter");
    auto* codes = window.findChild<CodeBox*>("txtCodes");
    ASSERT_NE(printers, nullptr);
    ASSERT_NE(codes, nullptr);
    printers->setCurrentIndex(printers->findText(QString::fromLatin1(SecondQueue)));
    ASSERT_EQ(printers->currentText().toStdString(), SecondQueue);

    QTest::keyClicks(codes, "<ESC>E");
    QTest::keyClick(codes, Qt::Key_Return);
    QTest::keyClicks(codes, "Hello, printer <FF>");
    auto* print = window.findChild<QPushButton*>("cmdPrint");
    QTest::mouseClick(window.findChild<QPushButton*>("cmdSend"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([print] { return print->text() == "Print"; }, 60000));

    const std::optional<std::string> job = CapturedBytes(spooler.JobId());
    ASSERT_TRUE(job);
    EXPECT_EQ(*job, "\x1B"
                    "E\r\nHello, printer \f");
    EXPECT_EQ(PrivateSpooler::CapturedQueue(spooler.JobId()), SecondQueue);
    EXPECT_EQ(PrivateSpooler::CapturedTitle(spooler.JobId()), "Tolvenmark Document");
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(codes->Text(), "<ESC>E\r\nHello, printer <FF>") << "the codes stay for the next job";
}

// The status bar follows the last job in the scheduler until its state will not change by
// itself: completed on a working queue, waiting on one whose printer stopped.
TEST_F(MainWindowSpoolerTest, StatusBarFollowsTheLastJobInTheScheduler) {
    const PrivateSpooler::ScopedCaptureQueue stopping(
        "TM_Window_Stop", "mode=stop&reason=offline-report&message=Printer+not+connected.");
    ASSERT_TRUE(stopping.Made());
    TempDir temp;
    WriteBytes(temp.File("job.prn"), "\x1B"
                                     "E");
    const struct {
        std::string queue;
        const char* state;
    } cases[] = {{SecondQueue, "completed"}, {stopping.Name(), "stopped: Printer not connected."}};
    for (const auto& c : cases) {
        frmMain window(desktop, spooler, catalog, monitor);
        window.Load();
        window.AddFiles({temp.File("job.prn")});
        window.show();
        auto* printers = window.findChild<QComboBox*>("cmbPrinter");
        printers->setCurrentIndex(printers->findText(QString::fromStdString(c.queue)));
        ASSERT_EQ(printers->currentText().toStdString(), c.queue);
        auto* print = window.findChild<QPushButton*>("cmdPrint");
        QTest::mouseClick(print, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([print] { return print->text() == "Print"; }, 60000));

        const QString expected = QString("Job %1 on %2: %3")
                                     .arg(spooler.JobId())
                                     .arg(QString::fromStdString(c.queue), c.state);
        auto* status = window.findChild<QLabel*>("Panel1");
        EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == expected; }, 60000))
            << status->text().toStdString() << " instead of " << expected.toStdString();
    }
}

} // namespace
