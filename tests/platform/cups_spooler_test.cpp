// The CUPS spooler where no scheduler answers: every call fails, none hangs,
// and the scheduler named is the one the environment points at.
#include "platform/posix/cups_spooler.h"

#include <gtest/gtest.h>
#include <signal.h>

#include "support/private_cupsd.h"
#include "support/temp_dir.h"

namespace talq::platform {
namespace {

TEST(CupsSpooler, ASchedulerThatIsNotThereFailsEveryCall) {
    test::TempDir dir("talq-nocups");
    const std::string socket = (dir.path() / "none.sock").string();
    setenv("CUPS_SERVER", socket.c_str(), 1);
    posix::CupsSpooler spooler;
    EXPECT_EQ(spooler.Scheduler(), socket);
    EXPECT_FALSE(spooler.LocalQueues());
    EXPECT_EQ(spooler.ReadQueue("any").lookup, QueueLookup::Failed);
    EXPECT_FALSE(spooler.SetPortText("any", spooler.DiscardPort()));
    EXPECT_FALSE(spooler.Pause("any"));
    EXPECT_FALSE(spooler.Resume("any"));
    unsetenv("CUPS_SERVER");

    setenv("CUPS_SERVER", "printhost", 1);
    setenv("IPP_PORT", "8631", 1);
    EXPECT_EQ(spooler.Scheduler(), "printhost:8631");
    EXPECT_EQ(spooler.Reach("printhost:8631")->Scheduler(), "printhost:8631");
    unsetenv("IPP_PORT");
    unsetenv("CUPS_SERVER");
}

TEST(CupsSpooler, AStoppedSchedulerIsGivenUpOn) {
    test::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.Running());
    ASSERT_TRUE(cupsd.AddQueue("q", "serial:/dev/null"));
    posix::CupsSpooler spooler;
    ASSERT_EQ(spooler.ReadQueue("q").lookup, QueueLookup::Found);
    EXPECT_EQ(spooler.ReadQueue("nothing").lookup, QueueLookup::Missing);
    ASSERT_EQ(kill(cupsd.Pid(), SIGSTOP), 0);
    EXPECT_EQ(spooler.ReadQueue("q").lookup, QueueLookup::Failed);
    kill(cupsd.Pid(), SIGCONT);
}

}  // namespace
}  // namespace talq::platform
