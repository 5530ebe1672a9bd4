#pragma once

#include <atomic>
#include <chrono>

// Waits for the duration, in short slices, unless the stop flag (which may be none) is set
// meanwhile: a backend that pauses between tries (a busy printer, a full scheduler) never
// holds a stopped job for the rest of its pause. Throws JobFailure::Stopped() once it is.
void PauseUnlessStopped(std::chrono::milliseconds duration, const std::atomic<bool>* stop);
