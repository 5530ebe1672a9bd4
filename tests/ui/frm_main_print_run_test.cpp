// A print run while the window goes on: where it stands, Stop, closing during a run, and
// the state of the last job in the status bar.
#include "printing/job/raw_print.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/code_box/code_box.h"
#include "ui/main/print_progress.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <condition_variable>
#include <mutex>

namespace {

const QString MakerLine = "Zelby ICT Services";

JobStatus StatusOf(JobState state, std::string message = {}) {
    JobStatus status;
    status.state = state;
    status.printerMessage = std::move(message);
    return status;
}

// Where the run's writes wait until the test opens it: a job as slow as the test wants.
class Gate {
public:
    void Pass() {
        std::unique_lock lock(mutex_);
        ++arrived_;
        changed_.wait(lock, [this] { return open_; });
    }
    void Close() {
        const std::lock_guard lock(mutex_);
        open_ = false;
    }
    void Open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    int WritesArrived() {
        const std::lock_guard lock(mutex_);
        return arrived_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int arrived_ = 0;
};

class PrintRunTest : public MainWindowTest {
protected:
    TempDir folder;
    Gate gate;
    std::vector<QString> paths;

    void SetUp() override {
        catalog.names = {"Office", "Lab"};
        catalog.defaultName = "Lab";
        printers.beforeWrite = [this] { gate.Pass(); };
    }
    // A write still waiting goes on, so that the window can go.
    void TearDown() override { gate.Open(); }

    // Shows the window with files of the given sizes in its list.
    void StartWith(const std::vector<std::size_t>& sizes) {
        Start();
        window->SetJobPollInterval(std::chrono::milliseconds(10));
        std::vector<std::string> files;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const std::string path = folder.File("file" + std::to_string(i) + ".prn");
            WriteBytes(path, std::string(sizes[i], 'x'));
            files.push_back(path);
            paths.push_back(QString::fromStdString(path));
        }
        window->AddFiles(files);
    }

    QPushButton* PrintButton() const { return Find<QPushButton>("cmdPrint"); }
    QString Status() const { return Find<QLabel>("Panel1")->text(); }
    QStringList Entries() const {
        QStringList entries;
        auto* list = Find<QListWidget>("lstFiles");
        for (int i = 0; i < list->count(); ++i) {
            entries << list->item(i)->text();
        }
        return entries;
    }
    // Starts a run whose first write waits at the closed gate.
    void StartHeldRun() {
        const int before = gate.WritesArrived();
        gate.Close();
        PrintButton()->click();
        ASSERT_TRUE(WaitUntil([&] { return gate.WritesArrived() > before; }, 30000));
    }
    bool WaitForRunEnd() {
        return WaitUntil([&] { return PrintButton()->text() == "Print"; }, 30000);
    }
    long Count(const std::string& operation) const {
        const std::vector<std::string> operations = printers.Operations();
        return std::count(operations.begin(), operations.end(), operation);
    }
};

TEST(PrintProgressText, SaysFileAndBytesInTheirUnits) {
    EXPECT_EQ((PrintProgress{2, 5, 12897485, 268435456}.Text()),
              "Printing file 2 of 5: 12.3 MiB of 256.0 MiB");
    EXPECT_EQ(ByteCountText(1023), "1023 bytes");
    // Rounded up to the next unit rather than "1024.0 KiB".
    EXPECT_EQ(ByteCountText(1048575), "1.0 MiB");
    EXPECT_EQ(ByteCountText(std::uint64_t{3} << 30), "3.0 GiB");
}

// While a run goes the window answers: Print reads Stop, Send Codes waits, and after a
// moment the status bar says where the run stands; afterwards all is as before.
TEST_F(PrintRunTest, RunShowsWhereItStandsAndEndsAsBefore) {
    const std::size_t size = 3 * modRawPrint::StreamChunkSize;
    StartWith({size, 100});
    StartHeldRun();
    EXPECT_EQ(PrintButton()->text(), "Stop");
    EXPECT_FALSE(Find<QPushButton>("cmdSend")->isEnabled());
    EXPECT_TRUE(
        WaitUntil([&] { return Status() == "Printing file 1 of 2: 0 bytes of 192.0 KiB"; }, 30000))
        << Status().toStdString();
    gate.Open();
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(Status(), MakerLine);
    EXPECT_TRUE(Find<QPushButton>("cmdSend")->isEnabled());
    EXPECT_EQ(Count("Finish"), 2);
    EXPECT_TRUE(desktop.messages.empty());
}

// Stop, by the button or by Escape, withdraws the job in progress and sends nothing more;
// the list stays as it was.
TEST_F(PrintRunTest, StopWithdrawsTheJobInProgressAndSendsNothingMore) {
    for (const bool byKey : {false, true}) {
        SCOPED_TRACE(byKey ? "Escape" : "Stop button");
        paths.clear();
        StartWith({3 * modRawPrint::StreamChunkSize, 100, 100});
        window->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == window.get(); }));
        const long opened = Count("Open");
        StartHeldRun();
        if (byKey) {
            QTest::keyClick(window.get(), Qt::Key_Escape);
        } else {
            PrintButton()->click();
        }
        gate.Open();
        ASSERT_TRUE(WaitForRunEnd());
        EXPECT_EQ(Count("Open") - opened, 1);
        EXPECT_EQ(Count("Abort"), byKey ? 2 : 1);
        EXPECT_EQ(Count("Finish"), 0);
        EXPECT_EQ(Entries(), QStringList(paths.begin(), paths.end()));
        EXPECT_TRUE(desktop.messages.empty());
        EXPECT_EQ(Status(), "Stopped: " + paths[0] + " was withdrawn from Lab");
    }
}

// Send Codes goes through a run too: a printer that holds the job holds only the run's
// thread, and Stop withdraws the codes' job.
TEST_F(PrintRunTest, SendCodesRunsLikeFilesAndStops) {
    StartWith({});
    Find<CodeBox>("txtCodes")->SetText("<ESC>E");
    gate.Close();
    Find<QPushButton>("cmdSend")->click();
    ASSERT_TRUE(WaitUntil([&] { return gate.WritesArrived() > 0; }, 30000));
    EXPECT_EQ(PrintButton()->text(), "Stop");
    PrintButton()->click();
    gate.Open();
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(Count("Abort"), 1);
    EXPECT_EQ(Count("Finish"), 0);
    EXPECT_EQ(Status(), "Stopped: the codes were withdrawn from Lab");
    EXPECT_TRUE(desktop.messages.empty());
}

// Closing during a run asks first: No keeps the window and the run, Yes stops the run
// and closes without a word about the stopped job.
TEST_F(PrintRunTest, ClosingDuringARunAsksFirst) {
    StartWith({3 * modRawPrint::StreamChunkSize, 100});
    StartHeldRun();
    desktop.messageAnswers = {MessageAnswer::No, MessageAnswer::Yes};
    window->close();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              "Files are still being sent to the printer. Stop sending them and close?");
    EXPECT_EQ(desktop.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(PrintButton()->text(), "Stop");

    window->close();
    EXPECT_FALSE(window->isVisible());
    gate.Open();
    // The window waits for its run as it goes.
    window.reset();
    EXPECT_EQ(Count("Abort"), 1);
    EXPECT_EQ(Count("Open"), 1);
    EXPECT_EQ(desktop.messages.size(), 2u);
}

// The last job's state shows as the monitor reports it, an unanswered question changing
// nothing, until it will not change again; then the monitor is not asked any more.
TEST_F(PrintRunTest, LastJobStateShowsUntilItEnds) {
    monitor.Add({StatusOf(JobState::Processing)});
    StartWith({100});
    ASSERT_TRUE(PrintAndWait());
    EXPECT_TRUE(WaitUntil([&] { return Status() == "Job 1 on Lab: printing"; }));
    monitor.Add({std::nullopt, StatusOf(JobState::Completed)});
    EXPECT_TRUE(WaitUntil([&] { return Status() == "Job 1 on Lab: completed"; }));
    QTest::qWait(200); // twenty intervals
    EXPECT_EQ(monitor.Asked(), (std::vector<std::pair<std::string, int>>(3, {"Lab", 1})));
}

// A newer job replaces the one followed; a stopped printer's reason is said, its control
// characters as escapes.
TEST_F(PrintRunTest, NewestJobIsFollowedAndAStoppedPrinterSaysWhy) {
    StartWith({100, 100});
    ASSERT_TRUE(PrintAndWait());
    // A question about the first job may be waiting; its answer is no news any more.
    monitor.Add({StatusOf(JobState::Processing),
                 StatusOf(JobState::Stopped, "the printer is not connected\x1b[2J")});
    EXPECT_TRUE(WaitUntil([&] {
        return Status() == "Job 2 on Lab: stopped: the printer is not connected\\x1b[2J";
    })) << Status().toStdString();
    EXPECT_EQ(monitor.Asked().back(), (std::pair<std::string, int>{"Lab", 2}));
}

// A printer whose jobs can't be followed shows nothing about them.
TEST_F(PrintRunTest, JobsThatCannotBeFollowedAreNotAskedAbout) {
    monitor.follows = false;
    StartWith({100});
    ASSERT_TRUE(PrintAndWait());
    QTest::qWait(200);
    EXPECT_TRUE(monitor.Asked().empty());
    EXPECT_EQ(Status(), MakerLine);
}

} // namespace
