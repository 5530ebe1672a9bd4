#include "app/cli/interrupt_flag.h"

void InterruptFlag::Raise(int signalNumber) noexcept {
    // The first signal names the interruption; the signal is stored before the stop, so
    // whoever sees the stop sees which signal it was.
    int none = 0;
    signal_.compare_exchange_strong(none, signalNumber);
    stop_.store(true);
}
