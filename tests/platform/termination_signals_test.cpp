// A signal asking the program to end reaches the event loop through the
// descriptor, and the handlers from before come back afterwards.
#include "platform/termination_signals.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

namespace talq::platform {
namespace {

bool Readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return poll(&watched, 1, 0) == 1;
}

TEST(TerminationSignals, EachSignalIsHandedToTheLoopAndTheOldHandlersReturn) {
    {
        TerminationSignals signals;
        ASSERT_TRUE(signals.Valid());
        TerminationSignals second;  // one at a time
        EXPECT_FALSE(second.Valid());
        EXPECT_FALSE(Readable(signals.fd()));
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            ASSERT_EQ(raise(signal), 0);
            EXPECT_TRUE(Readable(signals.fd()));
            EXPECT_EQ(signals.TakeSignal(), signal);
            EXPECT_FALSE(Readable(signals.fd()));
        }
        raise(SIGINT);
        raise(SIGHUP);
        EXPECT_EQ(signals.TakeSignal(), SIGHUP);
    }
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction now {};
        sigaction(signal, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << signal;
    }
}

}  // namespace
}  // namespace talq::platform
