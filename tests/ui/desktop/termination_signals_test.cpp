// A request to end reaches the event loop as a signal of the program's own, so the program
// ends through its clean-up (a print run withdraws its job) instead of at once.
#include "ui/desktop/termination_signals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

#ifndef _WIN32
TEST(TerminationSignalsTest, EachRequestToEndArrivesOnTheEventLoop) {
    TerminationSignals termination;
    QSignalSpy received(&termination, &TerminationSignals::received);
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        std::raise(signalNumber);
        ASSERT_TRUE(received.count() > 0 || received.wait(5000)) << signalNumber;
        EXPECT_EQ(received.takeFirst().at(0).toInt(), signalNumber);
    }
}
#endif

} // namespace
