#include "printing/job/stoppable_pause.h"

#include "printing/job/job_failure.h"

#include <algorithm>
#include <thread>

void PauseUnlessStopped(std::chrono::milliseconds duration, const std::atomic<bool>* stop) {
    constexpr std::chrono::milliseconds Slice{100};
    const auto end = std::chrono::steady_clock::now() + duration;
    for (auto now = std::chrono::steady_clock::now(); now < end;
         now = std::chrono::steady_clock::now()) {
        if (stop != nullptr && stop->load()) {
            throw JobFailure::Stopped();
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(end - now, Slice));
    }
}
