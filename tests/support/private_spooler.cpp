#include "tests/support/private_spooler.h"

#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <cups/cups.h>
#include <filesystem>
#include <thread>

namespace PrivateSpooler {

namespace {

std::string OutFile(int jobId, const char* extension) {
    return std::string(std::getenv("TOLVENMARK_SPOOLER_DIR")) + "/out/job-" +
           std::to_string(jobId) + extension;
}

} // namespace

std::optional<std::string> Dir(std::string& why) {
    const char* dir = std::getenv("TOLVENMARK_SPOOLER_DIR");
    if (dir == nullptr || *dir == '\0') {
        why = "TOLVENMARK_SPOOLER_DIR is not set: run the tests through ctest";
        return std::nullopt;
    }
    if (!std::filesystem::exists(std::string(dir) + "/cupsd.pid")) {
        why = std::string("no private CUPS scheduler runs in ") + dir +
              " (is cupsd installed? Debian packages cups-daemon and cups-client)";
        return std::nullopt;
    }
    return std::string(dir);
}

bool Required() {
    const char* required = std::getenv("TOLVENMARK_REQUIRE_SPOOLER");
    return required != nullptr && std::string(required) == "1";
}

std::optional<std::string> CapturedBytes(int jobId) {
    // The backend writes under a hidden name and renames when complete, so the file
    // appearing means the job's bytes are all there.
    const std::string path = OutFile(jobId, ".prn");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ReadBytes(path);
}

std::string CapturedTitle(int jobId) {
    return ReadBytes(OutFile(jobId, ".title"));
}

std::string CapturedQueue(int jobId) {
    return ReadBytes(OutFile(jobId, ".queue"));
}

int ActiveJobs(const std::string& queue) {
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(count, jobs);
    return count;
}

bool Admin(const std::string& commandLine) {
    const std::string full = "PATH=\"$PATH:/usr/sbin:/sbin\" " + commandLine + " >/dev/null 2>&1";
    return std::system(full.c_str()) == 0;
}

ScopedCaptureQueue::ScopedCaptureQueue(std::string name, const std::string& query)
    : name_(std::move(name)) {
    made_ = Admin("lpadmin -p " + name_ + " -E -m raw -v 'capture:" +
                  std::getenv("TOLVENMARK_SPOOLER_DIR") + "/out?" + query + "'");
}

ScopedCaptureQueue::~ScopedCaptureQueue() {
    Admin("cancel -a " + name_);
    Admin("lpadmin -x " + name_);
}

} // namespace PrivateSpooler

void PrivateSpoolerTest::SetUp() {
    std::string why;
    const std::optional<std::string> found = PrivateSpooler::Dir(why);
    if (!found) {
        if (PrivateSpooler::Required()) {
            FAIL() << why;
        }
        GTEST_SKIP() << why;
    }
    dir = *found;
    // Both this process's CUPS calls and the programs it starts go to the private spooler.
    const std::string socket = dir + "/cups.sock";
    setenv("CUPS_SERVER", socket.c_str(), 1);
    cupsSetServer(socket.c_str());
}
