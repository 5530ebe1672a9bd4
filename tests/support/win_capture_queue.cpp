#include "tests/support/win_capture_queue.h"

#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::optional<CaptureQueue> CaptureQueueFromEnvironment() {
    const char* printer = std::getenv("TOLVENMARK_CAPTURE_QUEUE");
    const char* folder = std::getenv("TOLVENMARK_CAPTURE_DIR");
    if (printer == nullptr || folder == nullptr || *printer == '\0' || *folder == '\0') {
        return std::nullopt;
    }
    return CaptureQueue{printer, folder};
}

} // namespace

void WinCaptureQueueTest::SetUp() {
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
        seen_.insert(number);
    }
}

std::optional<CapturedJob> WinCaptureQueueTest::NextCapturedJob() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& [number, file] : CapturedFiles()) {
            if (seen_.insert(number).second) {
                // The .prn file appears only once complete; title and queue are there
                // before.
                fs::path title = file;
                title.replace_extension(".title");
                fs::path queue = file;
                queue.replace_extension(".queue");
                return CapturedJob{ReadBytes(file.string()), ReadBytes(title.string()),
                                   ReadBytes(queue.string())};
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
}

std::map<int, fs::path> WinCaptureQueueTest::CapturedFiles() const {
    std::map<int, fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(queue_->folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("job-", 0) == 0 && entry.path().extension() == ".prn") {
            files.emplace(std::stoi(name.substr(4)), entry.path());
        }
    }
    return files;
}
