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

// A device that went away (unplugged) or a printer port that no longer answers.
bool DeviceGone(int error) {
    return error == ENODEV || error == ENXIO;
}

// The errors with which a device refuses to be opened for reading as well; it may still
// take writing.
bool RefusesReading(int error) {
    return error == EACCES || error == EPERM || error == EROFS || error == EINVAL ||
           error == EOPNOTSUPP;
}

int OpenWith(const std::string& path, int access) {
    int descriptor = -1;
    do {
        descriptor = ::open(path.c_str(), access | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

struct OpenedDevice {
    FileDescriptor descriptor;
    bool readable = false;
};

// Opens a character device or a FIFO for the job. Nothing is created and a regular file is
// never opened. A character device is opened for reading and writing where it lets us, so
// that a printer's replies can be read; a FIFO only for writing, so that we neither read
// back our own bytes nor count as a reader of it (a reader that goes away must still fail
// the job). The descriptor stays non-blocking, so that neither the open (a FIFO without a
// reader, a modem line without a carrier) nor a write can hang: writes wait for readiness
// with poll, for no longer than the stall time-out.
OpenedDevice OpenForJob(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        const int error = errno;
        CantOpen(path, error == ENOENT ? "it does not exist" : ErrorText(error), error);
    }
    RefuseUnlessDevice(path, status.st_mode);
    const mode_t kind = status.st_mode & S_IFMT;
    int descriptor = S_ISCHR(kind) ? OpenWith(path, O_RDWR) : -1;
    const bool readable = descriptor >= 0;
    if (!readable && (S_ISFIFO(kind) || RefusesReading(errno))) {
        descriptor = OpenWith(path, O_WRONLY);
    }
    if (descriptor < 0) {
        const int error = errno;
        CantOpen(path,
                 error == ENXIO && S_ISFIFO(kind) ? "no program is reading the FIFO"
                                                  : ErrorText(error),
                 error);
    }
    OpenedDevice opened{FileDescriptor(descriptor), readable};
    // The path may have been replaced between the look and the open: a FIFO in place of a
    // device would now be open for reading.
    if (::fstat(opened.descriptor.Get(), &status) != 0) {
        const int error = errno;
        CantOpen(path, ErrorText(error), error);
    }
    RefuseUnlessDevice(path, status.st_mode);
    if ((status.st_mode & S_IFMT) != kind) {
        CantOpen(path, "it was replaced while it was being opened");
    }
    return opened;
}

void Nap(std::chrono::steady_clock::time_point deadline) {
    std::this_thread::sleep_until(
        std::min(deadline, std::chrono::steady_clock::now() + RetryInterval));
}

} // namespace

DeviceLine::DeviceLine(std::string path, FileDescriptor descriptor, bool readable)
    : path_(std::move(path)), descriptor_(std::move(descriptor)),
      terminal_(::isatty(descriptor_.Get()) == 1), readable_(readable) {
    struct stat status {};
    fifo_ = ::fstat(descriptor_.Get(), &status) == 0 && S_ISFIFO(status.st_mode);
}

std::unique_ptr<DeviceLine> DeviceLine::OpenDevice(const std::string& path) {
    OpenedDevice opened = OpenForJob(path);
    std::unique_ptr<DeviceLine> line(
        new DeviceLine(path, std::move(opened.descriptor), opened.readable));
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
    OpenedDevice opened = OpenForJob(path);
    std::unique_ptr<DeviceLine> line(
        new DeviceLine(path, std::move(opened.descriptor), opened.readable));
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
    const std::string step = "Waiting for the device " + Quoted(path_) + " to take the last data";
    const short ready = Await(POLLOUT, Clock::now() + stallTimeout);
    if (ready == 0) {
        Fault(FailureKind::TimedOut, step + " timed out",
              "it took nothing for " + SecondsText(stallTimeout));
    }
    // A far end that is gone reports ready too: a printer unplugged while it took the last
    // transfer, or a FIFO's reader that left before reading everything.
    if ((ready & (POLLERR | POLLHUP)) != 0 && (!fifo_ || OutputQueued() > 0)) {
        Fault(FailureKind::Reset, step + " failed",
              fifo_ ? "the program reading it closed it before reading everything"
                    : "the device went away");
    }
}

void DeviceLine::Discard() {
    if (terminal_) {
        ::tcflush(descriptor_.Get(), TCOFLUSH);
    }
}

std::size_t DeviceLine::Read(char* buffer, std::size_t capacity, milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    bool saidReady = false;
    while (readable_ && capacity > 0) {
        const std::size_t count = ReadAvailable(buffer, capacity);
        if (count > 0) {
            return count;
        }
        // Ready with nothing to read: a USB printer's empty transfer, a line hung up.
        if (saidReady) {
            Nap(deadline);
        }
        if (Await(POLLIN, deadline) == 0) {
            return 0;
        }
        saidReady = true;
    }
    return 0;
}

std::size_t DeviceLine::ReadAvailable(char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t count = ::read(descriptor_.Get(), buffer, capacity);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error == EAGAIN || error == EWOULDBLOCK) {
            return 0;
        }
        if (DeviceGone(error)) {
            Fault(FailureKind::Reset, "Reading from the device " + Quoted(path_) + " failed",
                  ErrorText(error));
        }
        // A device that can't be read back (the USB printer driver answers EINVAL for a
        // printer without a channel back) says nothing, now and for the rest of the job;
        // whether it still takes the job is for the writes to tell.
        readable_ = false;
        return 0;
    }
}

std::uint64_t DeviceLine::BytesDelivered() const {
    return written_ - std::min(written_, OutputQueued());
}

void DeviceLine::StopIfAsked(const std::string& step) const {
    if (stop_ != nullptr && stop_->load()) {
        Fault(FailureKind::Stopped, step, "the job was stopped");
    }
}

// Polls in short slices, so that a stop is seen within one of them.
short DeviceLine::Await(short events, Clock::time_point deadline) const {
    constexpr milliseconds Slice{100};
    for (;;) {
        StopIfAsked("Waiting for the device " + Quoted(path_));
        const auto remaining = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
        if (remaining <= 0) {
            return 0;
        }
        pollfd ready{descriptor_.Get(), events, 0};
        const int result = ::poll(&ready, 1, static_cast<int>(std::min(remaining, Slice.count())));
        // An error or hang-up counts as ready: the step that follows says what it is.
        if (result > 0) {
            return ready.revents;
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

bool DeviceLine::AwaitWritable(Clock::time_point deadline) const {
    return Await(POLLOUT, deadline) != 0;
}

// A terminal's output not sent yet, or what a FIFO's reader has not read yet.
std::uint64_t DeviceLine::OutputQueued() const {
    int queued = 0;
#ifdef TIOCOUTQ
    if (terminal_ && ::ioctl(descriptor_.Get(), TIOCOUTQ, &queued) == 0 && queued > 0) {
        return static_cast<std::uint64_t>(queued);
    }
#endif
    if (fifo_ && ::ioctl(descriptor_.Get(), FIONREAD, &queued) == 0 && queued > 0) {
        return static_cast<std::uint64_t>(queued);
    }
    return 0;
}
