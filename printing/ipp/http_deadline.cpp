#include "printing/ipp/http_deadline.h"

#include <cups/cups.h>

namespace {

// How long one slice of a wait lasts before the deadline is looked at again.
constexpr double SliceSeconds = 0.25;

} // namespace

HttpDeadline::HttpDeadline(std::chrono::milliseconds timeout)
    : timeout_(timeout), end_(std::chrono::steady_clock::now() + timeout) {}

void HttpDeadline::Watch(http_t* connection) {
    httpSetTimeout(connection, SliceSeconds, &HttpDeadline::StillWaiting, this);
}

void HttpDeadline::Restart() {
    end_ = std::chrono::steady_clock::now() + timeout_;
}

bool HttpDeadline::Passed() const {
    return std::chrono::steady_clock::now() >= end_;
}

int HttpDeadline::StillWaiting(http_t*, void* deadline) {
    const auto* watched = static_cast<const HttpDeadline*>(deadline);
    const bool stopped = watched->stop_ != nullptr && watched->stop_->load();
    return watched->Passed() || stopped ? 0 : 1;
}
