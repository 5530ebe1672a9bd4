#include "app/cli/progress_line.h"

#include "core/byte_count.h"
#include "core/safe_text.h"

#include <algorithm>
#include <ostream>

namespace {

// Where the last part of a path begins: after its last separator ('\' too on Windows).
std::size_t LastPartStart(const std::string& path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\");
#else
    const std::size_t separator = path.find_last_of('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

ProgressLine::ProgressLine(std::ostream& out, const std::string& name,
                           std::optional<std::uint64_t> total, Now now)
    : out_(out), name_(ShownName(name)), total_(total), now_(std::move(now)), lastDrawn_(now_()) {}

void ProgressLine::Update(std::uint64_t bytesSent) {
    const Clock::time_point now = now_();
    if (now - lastDrawn_ < Interval) {
        return;
    }
    lastDrawn_ = now;
    Draw(Text(bytesSent));
}

void ProgressLine::Clear() {
    if (width_ == 0) {
        return;
    }
    const std::string wipe = '\r' + std::string(width_, ' ') + '\r';
    out_.write(wipe.data(), static_cast<std::streamsize>(wipe.size()));
    out_.flush();
    width_ = 0;
}

// One write for the whole line: standard error is unbuffered, and a line written in
// pieces would flicker.
void ProgressLine::Draw(const std::string& text) {
    std::string line = '\r' + text;
    if (text.size() < width_) {
        line += std::string(width_ - text.size(), ' ');
    }
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    out_.flush();
    width_ = std::max(width_, text.size());
}

std::string ProgressLine::Text(std::uint64_t bytesSent) const {
    std::string text = name_ + ": " + Amount(bytesSent);
    if (total_ && *total_ > 0) {
        const auto percent = static_cast<unsigned>(
            std::min<long double>(100, static_cast<long double>(bytesSent) * 100 / *total_));
        text += " of " + Amount(*total_) + " (" + std::to_string(percent) + "%)";
    }
    return text;
}

std::string ProgressLine::Amount(std::uint64_t bytes) {
    return modTools::ByteCountText(bytes, "B");
}

std::string ProgressLine::ShownName(const std::string& path) {
    // The last part is found first: an escape's own backslash is no folder's end.
    const std::string name = SafeText(path.substr(LastPartStart(path)), WholeText);
    if (name.size() <= MaxNameLength) {
        return name;
    }
    // Cut where a character begins, so the terminal shows no broken one.
    std::size_t start = name.size() - (MaxNameLength - 3);
    while (start < name.size() && IsUtf8Continuation(name[start])) {
        ++start;
    }
    return "..." + name.substr(start);
}
