#include "printing/queues/cups/detached_process.h"

#include "printing/queues/cups/program_search.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Both ends of a pipe, closed when it goes.
class Pipe {
public:
    Pipe() {
        if (::pipe2(ends_.data(), O_CLOEXEC) != 0) {
            ends_ = {-1, -1};
        }
    }
    ~Pipe() {
        CloseReadEnd();
        CloseWriteEnd();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool IsOpen() const { return ends_[0] >= 0; }
    int ReadEnd() const { return ends_[0]; }
    int WriteEnd() const { return ends_[1]; }
    void CloseReadEnd() { Close(ends_[0]); }
    void CloseWriteEnd() { Close(ends_[1]); }

private:
    static void Close(int& end) {
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
    }
    std::array<int, 2> ends_{-1, -1};
};

// In a child: tells the parent why the start failed, through the pipe, and ends.
[[noreturn]] void ReportAndExit(int reportEnd, int error) {
    [[maybe_unused]] const ssize_t written = ::write(reportEnd, &error, sizeof error);
    ::_exit(127);
}

// In the grandchild: a fresh program should find the signals as a new process does, not
// as this one (a GUI program) has set them; handlers are reset by exec anyway, ignored
// signals and the blocked mask are not.
void ResetSignals() {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
        ::sigaction(signalNumber, &byDefault, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Runs in the first child: detaches from the session, forks the program's process and
// ends at once, so that the program is adopted by init and never becomes our zombie.
[[noreturn]] void RunIntermediate(const char* path, char* const* argv, int reportEnd) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild < 0) {
        ReportAndExit(reportEnd, errno);
    }
    if (grandchild > 0) {
        ::_exit(0);
    }
#ifdef CLOSE_RANGE_CLOEXEC
    // Descriptors this process forgot to mark (sockets of the spooler, files) are not the
    // program's business; the report pipe is already marked and closes on exec as well.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
#endif
    ResetSignals();
    ::execv(path, argv);
    ReportAndExit(reportEnd, errno);
}

bool WaitFor(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The error a child reported, or nothing when the pipe closed without a word: the
// program's exec closed the last write end, so it is running.
std::optional<int> ReadReport(int readEnd) {
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(readEnd, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got == 0) {
        return std::nullopt;
    }
    return got == static_cast<ssize_t>(sizeof error) ? error : EIO;
}

} // namespace

namespace DetachedProcess {

bool Start(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return false;
    }
    const std::optional<std::string> path =
        ProgramSearch::Find(arguments.front(), ProgramSearch::ProcessSearchPath());
    if (!path) {
        return false;
    }
    // Everything the children need is made here: after fork, nothing may allocate.
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    Pipe report;
    if (!report.IsOpen()) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        ::close(report.ReadEnd());
        RunIntermediate(path->c_str(), argv.data(), report.WriteEnd());
    }
    report.CloseWriteEnd();
    const bool intermediateDone = WaitFor(child);
    const std::optional<int> error = ReadReport(report.ReadEnd());
    return intermediateDone && !error;
}

} // namespace DetachedProcess
