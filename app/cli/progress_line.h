#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

// How far one job has come, as one line on a terminal: "NAME: 12.3 MiB of 256.0 MiB (4%)",
// or without the total for a stream. The line is redrawn in place (carriage return) no more
// than ten times a second, not at all for a job that ends sooner, and is wiped when the job
// ends, so that nothing of it stays beside the lines the program writes afterwards.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    static constexpr std::chrono::milliseconds Interval{100};

    // The job's bytes come from `name` (a path: only its last part is shown); `total` is
    // their number when it is known in advance.
    ProgressLine(std::ostream& out, const std::string& name, std::optional<std::uint64_t> total,
                 Now now = Clock::now);

    // The job's bytes sent so far: drawn when an interval has passed since the last drawing
    // (or since the job began).
    void Update(std::uint64_t bytesSent);
    // Wipes the line, if it was drawn, leaving the cursor at its start.
    void Clear();

    // The line's text for the bytes sent so far.
    std::string Text(std::uint64_t bytesSent) const;
    // A number of bytes as people read it: "512 B", "64.0 KiB", "12.3 MiB", "1.0 GiB".
    static std::string Amount(std::uint64_t bytes);
    // The name as the line shows it: the path's last part through SafeText, and at
    // most MaxNameLength bytes (its end, after "...").
    static std::string ShownName(const std::string& path);

    static constexpr std::size_t MaxNameLength = 40;

private:
    void Draw(const std::string& text);

    std::ostream& out_;
    std::string name_;
    std::optional<std::uint64_t> total_;
    Now now_;
    Clock::time_point lastDrawn_;
    std::size_t width_ = 0; // the bytes drawn on the line, 0 when it is clear
};
