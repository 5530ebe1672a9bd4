#pragma once

#include "printing/address/serial_settings.h"
#include "printing/backends/device/file_descriptor.h"
#include "printing/backends/device/saved_terminal_settings.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The device one job writes to: a character device or a FIFO (file:), or a serial line
// set up for the job (serial:), whose own settings come back when the job is over. It is
// never a regular file, and nothing is ever created. Writes wait for the device, but no
// longer than the stall time-out without progress. A character device (a USB printer, a
// serial line) is opened for reading too, so that what the printer says back can be read;
// a FIFO is only written: reading it would take back our own bytes. Every failure is
// thrown as a DeviceFault, with the kind of failure it makes of the job.
class DeviceLine {
public:
    static std::unique_ptr<DeviceLine> OpenDevice(const std::string& path);
    static std::unique_ptr<DeviceLine> OpenSerial(const std::string& path,
                                                  const SerialSettings& settings);

    // Writes all of data.
    void Write(std::string_view data, std::chrono::milliseconds stallTimeout);
    // Waits until the device has taken the last write; a terminal until it has sent its
    // output.
    void Finish(std::chrono::milliseconds stallTimeout);
    // Drops what a terminal still holds to send, so that a job cut off ends at once.
    void Discard();

    // What the device said since the last call, at most `capacity` bytes, waiting up to
    // `wait` for the first of them; 0 when nothing came. A device that can't be read back
    // (a FIFO, one that refused to be opened for reading, a USB printer without a channel
    // back) says nothing. Only a device that went away fails.
    std::size_t Read(char* buffer, std::size_t capacity, std::chrono::milliseconds wait);

    // A flag that ends a wait for the device soon after it is set: the step fails.
    void WatchStop(const std::atomic<bool>* stop) { stop_ = stop; }

    // The bytes that had reached the device: written, and not still waiting in a
    // terminal's output queue or unread in a FIFO.
    std::uint64_t BytesDelivered() const;

private:
    using Clock = std::chrono::steady_clock;

    DeviceLine(std::string path, FileDescriptor descriptor, bool readable);

    void SetUpSerial(const SerialSettings& settings);
    void PassOutputUnchanged();
    // Waits until poll reports any of `events` (or an error or hang-up) before the
    // deadline: what it reported, 0 when the time was up.
    short Await(short events, Clock::time_point deadline) const;
    // Whether the device can take more before the deadline.
    bool AwaitWritable(Clock::time_point deadline) const;
    // What can be read without waiting.
    std::size_t ReadAvailable(char* buffer, std::size_t capacity);
    // Fails the step when the stop flag is set.
    void StopIfAsked(const std::string& step) const;
    void DrainTerminal(std::chrono::milliseconds stallTimeout) const;
    std::uint64_t OutputQueued() const;

    std::string path_;
    FileDescriptor descriptor_;
    // Declared after the descriptor, so the settings are put back before it closes.
    std::optional<SavedTerminalSettings> savedSettings_;
    bool terminal_ = false;
    bool fifo_ = false;
    bool readable_ = false;
    std::uint64_t written_ = 0;
    const std::atomic<bool>* stop_ = nullptr;
};
