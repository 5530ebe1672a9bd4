#include "printing/backends/device/device_line.h"

#include "core/seconds_text.h"
#include "printing/backends/device/blocked_sigpipe.h"
#include "printing/backends/device/device_fault.h"
#include "printing/backends/device/serial_termios.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

// How long to wait before asking the device again when it said it was ready and then
// took nothing, as drivers without readiness reports do; and how often a terminal's
// output queue is looked at while it drains.
constexpr milliseconds RetryInterval{10};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

// What a file is, for a message that says why it is not taken.
std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISREG(mode)) {
        return "a regular file";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "a file of another kind";
}

[[noreturn]] void Fault(FailureKind kind, const std::string& step, const std::string& why) {
    throw DeviceFault(kind, step + ": " + why);
}

// A device that can't be opened is out of reach, unless another program is only holding it
// for now.
[[noreturn]] void CantOpen(const std::string& path, const std::string& why, int error = 0) {
    Fault(error == EBUSY ? FailureKind::NotReady : FailureKind::Unreachable,
          "Can't open the device " + Quoted(path), why);
}

// A device unplugged or a reader gone part-way cuts the job off; any other error is the
// device refusing what it was given (a full one, say).
FailureKind KindOfWriteError(int error) {
    return error == EPIPE || error == EIO || error == ENODEV || error == ENXIO
               ? FailureKind::Reset
               : FailureKind::Refused;
}

void RefuseUnlessDevice(const std::string& path, mode_t mode) {
    if (!S_ISCHR(mode) && !S_ISFIFO(mode)) {
        CantOpen(path, "it is " + KindOf(mode) + ", not a character device or a FIFO");
    }
}

// Opens a character device or a FIFO for writing. Nothing is created and a regular
// file is never opened. The descriptor stays non-blocking, so that neither the open (a
// FIFO without a reader, a modem line without a carrier) nor a write can hang: writes
// wait for readiness with poll, for no longer than the stall time-out.
FileDescriptor OpenForWriting(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        const int error = errno;
        CantOpen(path, error == ENOENT ? "it does not exist" : ErrorText(error), error);
    }
    RefuseUnlessDevice(path, status.st_mode);
    int descriptor = -1;
    do {
        descriptor = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        const int error = errno;
        CantOpen(path,
                 error == ENXIO && S_ISFIFO(status.st_mode) ? "no program is reading the FIFO"
                                                            : ErrorText(error),
                 error);
    }
    FileDescriptor opened(descriptor);
    // The path may have been replaced between the look and the open.
    if (::fstat(opened.Get(), &status) != 0) {
        const int error = errno;
        CantOpen(path, ErrorText(error), error);
    }
    RefuseUnlessDevice(path, status.st_mode);
    return opened;
}

void Nap(std::chrono::steady_clock::time_point deadline) {
    std::this_thread::sleep_until(
        std::min(deadline, std::chrono::steady_clock::now() + RetryInterval));
}

} // namespace

DeviceLine::DeviceLine(std::string path, FileDescriptor descriptor)
    : path_(std::move(path)), descriptor_(std::move(descriptor)),
      terminal_(::isatty(descriptor_.Get()) == 1) {}

std::unique_ptr<DeviceLine> DeviceLine::OpenDevice(const std::string& path) {
    std::unique_ptr<DeviceLine> line(new DeviceLine(path, OpenForWriting(path)));
    if (line->terminal_) {
        line->PassOutputUnchanged();
    }
    return line;
}

std::unique_ptr<DeviceLine> DeviceLine::OpenSerial(const std::string& path,
                                                   const SerialSettings& settings) {
    // Checked before the line is touched, so that a refused job changes nothing.
    const std::string refusal = SerialTermios::Refusal(settings);
    if (!refusal.empty()) {
        Fault(FailureKind::Refused, "Can't set up the serial line " + Quoted(path), refusal);
    }
    std::unique_ptr<DeviceLine> line(new DeviceLine(path, OpenForWriting(path)));
    line->SetUpSerial(settings);
    return line;
}

void DeviceLine::SetUpSerial(const SerialSettings& settings) {
    // A line that takes the settings badly refuses the job; what is no serial line at all
    // can't be reached as one.
    const auto fail = [this](const std::string& why, FailureKind kind = FailureKind::Refused) {
        Fault(kind, "Can't set up the serial line " + Quoted(path_), why);
    };
    if (!terminal_) {
        fail("it is not a terminal", FailureKind::Unreachable);
    }
    termios saved{};
    if (::tcgetattr(descriptor_.Get(), &saved) != 0) {
        fail(ErrorText(errno));
    }
    const termios job = SerialTermios::ForJob(saved, settings);
    // Kept before the change is made: a change that goes through only in part is undone too.
    savedSettings_.emplace(descriptor_.Get(), saved);
    if (::tcsetattr(descriptor_.Get(), TCSANOW, &job) != 0) {
        fail(ErrorText(errno));
    }
    // tcsetattr succeeds when any part of the change was made; a driver may ignore a speed
    // or framing it can't do.
    termios taken{};
    if (::tcgetattr(descriptor_.Get(), &taken) != 0) {
        fail(ErrorText(errno));
    }
    const std::string notTaken = SerialTermios::NotTaken(job, taken, settings);
    if (!notTaken.empty()) {
        fail("its driver did not take " + notTaken);
    }
}

// A terminal named by file: keeps the speed and flow control it was given (with stty, say),
// but its output processing would turn every line feed into a carriage return and a line
// feed: that is switched off for the job.
void DeviceLine::PassOutputUnchanged() {
    termios saved{};
    if (::tcgetattr(descriptor_.Get(), &saved) != 0) {
        const int error = errno;
        CantOpen(path_, ErrorText(error), error);
    }
    termios job = saved;
    job.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    savedSettings_.emplace(descriptor_.Get(), saved);
    if (::tcsetattr(descriptor_.Get(), TCSANOW, &job) != 0) {
        const int error = errno;
        CantOpen(path_, ErrorText(error), error);
    }
}

void DeviceLine::Write(std::string_view data, milliseconds stallTimeout) {
    const BlockedSigpipe sigpipeHeld;
    Clock::time_point deadline = Clock::now() + stallTimeout;
    bool saidReady = false;
    while (!data.empty()) {
        const ssize_t count = ::write(descriptor_.Get(), data.data(), data.size());
        if (count > 0) {
            written_ += static_cast<std::uint64_t>(count);
            data.remove_prefix(static_cast<std::size_t>(count));
            deadline = Clock::now() + stallTimeout;
            saidReady = false;
            continue;
        }
        const int error = count < 0 ? errno : EAGAIN;
        if (error == EINTR) {
            continue;
        }
        if (error != EAGAIN && error != EWOULDBLOCK) {
            Fault(KindOfWriteError(error), "Writing to the device " + Quoted(path_) + " failed",
                  error == EPIPE ? "the program reading it closed it" : ErrorText(error));
        }
        if (saidReady) {
            Nap(deadline);
        }
        if (!AwaitWritable(deadline)) {
            Fault(FailureKind::TimedOut, "Writing to the device " + Quoted(path_) + " timed out",
                  "it took no data for " + SecondsText(stallTimeout));
        }
        saidReady = true;
    }
}

void DeviceLine::Finish(milliseconds stallTimeout) {
    if (terminal_) {
        DrainTerminal(stallTimeout);
        return;
    }
    // A printer driver may still be sending the last write when it returns (the USB
    // printer driver does, on a non-blocking descriptor) and would drop it at close; it
    // reports ready again once the transfer is done.
    if (!AwaitWritable(Clock::now() + stallTimeout)) {
        Fault(FailureKind::TimedOut,
              "Waiting for the device " + Quoted(path_) + " to take the last data timed out",
              "it took nothing for " + SecondsText(stallTimeout));
    }
}

void DeviceLine::Discard() {
    if (terminal_) {
        ::tcflush(descriptor_.Get(), TCOFLUSH);
    }
}

std::uint64_t DeviceLine::BytesDelivered() const {
    return written_ - std::min(written_, terminal_ ? OutputQueued() : 0);
}

void DeviceLine::StopIfAsked(const std::string& step) const {
    if (stop_ != nullptr && stop_->load()) {
        Fault(FailureKind::Stopped, step, "the job was stopped");
    }
}

// Polls in short slices, so that a stop is seen within one of them.
bool DeviceLine::AwaitWritable(Clock::time_point deadline) const {
    constexpr milliseconds Slice{100};
    for (;;) {
        StopIfAsked("Waiting for the device " + Quoted(path_));
        const auto remaining = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
        if (remaining <= 0) {
            return false;
        }
        pollfd ready{descriptor_.Get(), POLLOUT, 0};
        const int result = ::poll(&ready, 1, static_cast<int>(std::min(remaining, Slice.count())));
        // An error or hang-up counts as ready: the write that follows says what it is.
        if (result > 0) {
            return true;
        }
        if (result < 0 && errno != EINTR) {
            const int error = errno;
            Fault(KindOfWriteError(error), "Waiting for the device " + Quoted(path_) + " failed",
                  ErrorText(error));
        }
    }
}

// The terminal's output queue is watched rather than waited for with tcdrain alone,
// which could wait for ever on a line held up by flow control: the queue must shrink
// within every stall time-out. Once it is empty, tcdrain waits only for the last
// characters in the hardware, which the driver bounds itself.
void DeviceLine::DrainTerminal(milliseconds stallTimeout) const {
    const std::string step = "Waiting for the serial line " + Quoted(path_) + " to send its output";
    Clock::time_point deadline = Clock::now() + stallTimeout;
    for (std::uint64_t queued = OutputQueued(); queued > 0;) {
        StopIfAsked(step);
        if (Clock::now() >= deadline) {
            Fault(FailureKind::TimedOut, step + " timed out",
                  "nothing was sent for " + SecondsText(stallTimeout));
        }
        Nap(deadline);
        const std::uint64_t now = OutputQueued();
        if (now < queued) {
            deadline = Clock::now() + stallTimeout;
        }
        queued = now;
    }
    while (::tcdrain(descriptor_.Get()) != 0) {
        const int error = errno;
        if (error != EINTR) {
            Fault(KindOfWriteError(error), step + " failed", ErrorText(error));
        }
    }
}

std::uint64_t DeviceLine::OutputQueued() const {
#ifdef TIOCOUTQ
    int queued = 0;
    if (::ioctl(descriptor_.Get(), TIOCOUTQ, &queued) == 0 && queued > 0) {
        return static_cast<std::uint64_t>(queued);
    }
#endif
    return 0;
}
