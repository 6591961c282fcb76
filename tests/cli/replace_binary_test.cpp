// talq replace as a technician runs it on a till: the built program against talq-printer-sim
// on a pseudo-terminal that the ports file maps COM1 to, with a print queue of a private CUPS
// scheduler on that port. The rollback when the printer does not answer at its new settings is
// walked in virtual time (follow_command_test.cpp).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "child_process.h"
#include "support/private_cupsd.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

constexpr int kDeadlineMs = 90000;

// A KTV-540/542's switches as they leave the factory, but for switch 9 at 9600 baud, even
// parity, and one reserved pin of switch 10.
constexpr const char* kTillFile = R"({"format": "talq-status/1", "model": "KTV-540/542",
  "switches": {"1": [0, 0, 0, 0, 0, 0, 0, 0, 0], "2": [0, 0, 0, 0, 0, 0, 0, 0, 0],
               "8": [0, 0, 0, 0, 0, 0, 0, 0, 0], "9": [0, 0, 0, 1, 1, 0, 0, 0, 0],
               "10": [0, 0, 0, 0, 0, 1, 0, 0, 0], "11": [0, 0, 0, 0, 0, 0, 0, 0, 0]}})";

TEST(ReplaceBinary, AFactoryPrinterTakesTheTillsFileAndTheHostFollowsIt) {
    test::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.Running()) << "no private scheduler";
    test::ScratchDir dir;
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    const std::string link = dir / "com1", till = dir / "till.json";
    const std::string portsFile = dir / "config/talquist-manager/ports.conf";
    std::filesystem::create_directories(dir / "config/talquist-manager");
    test::WriteText(portsFile, "# till 3\nCOM1=" + link + "\n");
    test::WriteText(till, kTillFile);
    ASSERT_TRUE(cupsd.AddQueue("receipts", "serial:" + link + "?baud=115200+stop=1"));
    // At the factory's settings, taking new serial settings as it leaves its setting mode.
    test::ChildProcess sim(TALQ_PRINTER_SIM_PATH,
                           {"--model", "KTV-540/542", "--link", link, "--settings-take", "now"});
    ASSERT_TRUE(sim.Collect(5000, /*untilFirstLine=*/true)) << sim.err;

    test::ChildProcess replace(TALQ_PATH, {"replace", "--port", "COM1", till});
    EXPECT_EQ(test::RunToEnd(replace, kDeadlineMs), 0) << replace.err;
    EXPECT_NE(replace.err.find("COM1: found KTV-540/542 (\"KTV-540/542\", firmware \"Ver 1.05\") "
                               "at 115200 8 None 1 Hardware\n"),
              std::string::npos)
        << replace.err;
    EXPECT_NE(replace.out.find("COM1: replaced: KTV-540/542, 4 pins set, read back, test page "
                               "printed; the host reaches it with --baud 9600 --data-bits 8 "
                               "--parity Even --stop-bits 1 --flow Hardware\n"),
              std::string::npos)
        << replace.out;
    EXPECT_EQ(test::ReadText(portsFile),
              "# till 3\nCOM1=" + link + "\nCOM1.line=9600 8 Even 1 Hardware\n");
    EXPECT_EQ(cupsd.DeviceUri("receipts"),
              "serial:" + link + "?baud=9600+bits=8+parity=even+flow=hard+stop=1");
    EXPECT_FALSE(cupsd.Paused("receipts"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "state/talquist-manager"));
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace talq::cli
