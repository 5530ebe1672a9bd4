#include "printing/printer_list.h"
#include "printing/raw_print.h"
#include "printing/win/win_printer_catalog.h"
#include "printing/win/win_spooler.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

// A printer whose jobs land as files: under wine, whose spooler hands jobs to CUPS, a
// private scheduler with a capturing queue (scripts/build-windows sets one up and names
// it in TOLVENMARK_CAPTURE_QUEUE, its capture folder in TOLVENMARK_CAPTURE_DIR).
struct CaptureQueue {
    std::string printer;
    fs::path folder;
};

std::optional<CaptureQueue> CaptureQueueFromEnvironment() {
    const char* printer = std::getenv("TOLVENMARK_CAPTURE_QUEUE");
    const char* folder = std::getenv("TOLVENMARK_CAPTURE_DIR");
    if (printer == nullptr || folder == nullptr || *printer == '\0' || *folder == '\0') {
        return std::nullopt;
    }
    return CaptureQueue{printer, folder};
}

struct CapturedJob {
    std::string bytes;
    std::string title;
};

class WinSpoolerJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        queue_ = CaptureQueueFromEnvironment();
        if (!queue_) {
            const char* required = std::getenv("TOLVENMARK_REQUIRE_SPOOLER");
            if (required != nullptr && std::string(required) == "1") {
                FAIL() << "no capturing printer: TOLVENMARK_CAPTURE_QUEUE and "
                          "TOLVENMARK_CAPTURE_DIR are not set";
            }
            GTEST_SKIP() << "no capturing printer (scripts/build-windows sets one up)";
        }
        for (const auto& [number, file] : CapturedFiles()) {
            before_.insert(number);
        }
    }

    const std::string& Printer() const { return queue_->printer; }

    // The first job that arrived since the test began; none when nothing came in time.
    std::optional<CapturedJob> NextCapturedJob() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const auto& [number, file] : CapturedFiles()) {
                if (before_.count(number) == 0) {
                    // The .prn file appears only once complete; the title is there before.
                    fs::path title = file;
                    title.replace_extension(".title");
                    return CapturedJob{ReadBytes(file.string()), ReadBytes(title.string())};
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return std::nullopt;
    }

private:
    // The complete captures, job-N.prn, by job number.
    std::map<int, fs::path> CapturedFiles() const {
        std::map<int, fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(queue_->folder)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("job-", 0) == 0 && entry.path().extension() == ".prn") {
                files.emplace(std::stoi(name.substr(4)), entry.path());
            }
        }
        return files;
    }

    std::optional<CaptureQueue> queue_;
    std::set<int> before_;
};

TEST_F(WinSpoolerJobTest, StringReachesThePrinterByteForByte) {
    const std::string data = std::string("\x1B"
                                         "E\r\n\0\x1A",
                                         6) +
                             AllByteValues() + AllByteValues();
    WinSpooler spooler;
    ASSERT_TRUE(modRawPrint::PrintStringRaw(spooler, Printer(), data)) << spooler.LastError();
    EXPECT_GT(spooler.JobId(), 0);
    const std::optional<CapturedJob> job = NextCapturedJob();
    ASSERT_TRUE(job) << "no job arrived";
    EXPECT_EQ(job->bytes, data);
    EXPECT_EQ(job->title, "Tolvenmark Document");
}

// Files are read in binary mode: no CR LF translation, no stop at a Ctrl+Z.
TEST_F(WinSpoolerJobTest, FileReachesThePrinterByteForByte) {
    TempDir dir;
    std::string data(3 * 1024 * 1024 + 17, '\0');
    std::mt19937 random(7);
    std::generate(data.begin(), data.end(), [&] { return static_cast<char>(random()); });
    data.replace(0, 5, "\n\r\n\x1A\x1A");
    WriteBytes(dir.File("job.prn"), data);
    WinSpooler spooler;
    ASSERT_TRUE(modRawPrint::PrintFileRaw(spooler, Printer(), dir.File("job.prn")))
        << spooler.LastError();
    const std::optional<CapturedJob> job = NextCapturedJob();
    ASSERT_TRUE(job) << "no job arrived";
    EXPECT_EQ(job->bytes.size(), data.size());
    EXPECT_TRUE(job->bytes == data);
    EXPECT_EQ(job->title, "Tolvenmark Document");
}

TEST_F(WinSpoolerJobTest, TheCatalogListsThePrinter) {
    WinPrinterCatalog catalog;
    const std::vector<std::string> names = catalog.PrinterNames();
    EXPECT_NE(std::find(names.begin(), names.end(), Printer()), names.end());
}

} // namespace
