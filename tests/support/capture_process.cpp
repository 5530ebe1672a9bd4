#include "tests/support/capture_process.h"

#include "tests/support/spawned_program.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>

namespace {

constexpr auto Patience = std::chrono::seconds(60);

template <typename Ready> bool WaitUntil(Ready ready) {
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

CaptureProcess::CaptureProcess(const std::string& program,
                               const std::vector<std::string>& options) {
    std::filesystem::create_directory(dir_.File("jobs"));
    std::vector<std::string> arguments = {program, "capture",     "--socket", "127.0.0.1:0",
                                          "--lpd", "127.0.0.1:0", "--dir",    dir_.File("jobs")};
    arguments.insert(arguments.end(), options.begin(), options.end());
    child_ = SpawnProgram(arguments, dir_.File("out"), dir_.File("err"));
    if (!WaitForErr("LPD 127.0.0.1:")) {
        Stop();
        throw std::runtime_error("capture did not say where it listens: " + Err());
    }
    socketPort_ = PortAfter("socket 127.0.0.1:");
    lpdPort_ = PortAfter("LPD 127.0.0.1:");
}

CaptureProcess::~CaptureProcess() {
    if (child_ > 0) {
        Stop();
    }
}

std::uint16_t CaptureProcess::PortAfter(const std::string& prefix) const {
    const std::string err = Err();
    const std::size_t at = err.find(prefix);
    return static_cast<std::uint16_t>(std::stoi(err.substr(at + prefix.size())));
}

std::optional<std::string> CaptureProcess::Job(int number, const std::string& suffix) const {
    const std::string path = JobsDir() + "/job-" + std::to_string(number) + suffix;
    if (!WaitUntil([&path] { return std::filesystem::exists(path); })) {
        return std::nullopt;
    }
    return ReadBytes(path);
}

bool CaptureProcess::WaitFor(const std::string& file, const std::string& text) const {
    return WaitUntil([&] { return ReadBytes(dir_.File(file)).find(text) != std::string::npos; });
}

bool CaptureProcess::WaitForOut(const std::string& text) const {
    return WaitFor("out", text);
}

bool CaptureProcess::WaitForErr(const std::string& text) const {
    return WaitFor("err", text);
}

int CaptureProcess::Stop() {
    if (child_ <= 0) {
        return -1;
    }
    kill(child_, SIGTERM);
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
