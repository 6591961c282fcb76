// talq replace as a technician runs it on a till: the built program against talq-printer-sim
// on a pseudo-terminal that the ports file maps COM1 to, with a print queue of a private CUPS
// scheduler on that port.
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

TEST(ReplaceBinary, AFactoryPrinterTakesTheTillsFileAndTheHostFollowsOrAllRollsBack) {
    test::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.Running()) << "no private scheduler";
    test::ScratchDir dir;
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    const std::string link = dir / "com1", till = dir / "till.json";
    const std::string portsFile = dir / "config/talquist-manager/ports.conf";
    std::filesystem::create_directories(dir / "config/talquist-manager");
    const std::string mapped = "# till 3\nCOM1=" + link + "\n";
    test::WriteText(till, kTillFile);
    const std::string uri = "serial:" + link + "?baud=115200+stop=1";

    const struct {
        const char* takes;  // when the simulated printer takes its new serial settings
        int exitCode;
        std::string portsFile, uri, switch9;
    } cases[] = {
        {"now", 0, mapped + "COM1.line=9600 8 Even 1 Hardware\n",
         "serial:" + link + "?baud=9600+bits=8+parity=even+flow=hard+stop=1",
         R"("9": [0, 0, 0, 1, 1, 0, 0, 0, 0])"},
        // It does not answer at the new settings before it restarts: all goes back.
        {"restart", 4, mapped, uri, R"("9": [0, 0, 0, 0, 0, 0, 0, 0, 1])"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.takes);
        test::WriteText(portsFile, mapped);
        ASSERT_TRUE(cupsd.AddQueue("receipts", uri));
        test::ChildProcess sim(TALQ_PRINTER_SIM_PATH, {"--model", "KTV-540/542", "--link", link,
                                                       "--settings-take", c.takes});
        ASSERT_TRUE(sim.Collect(5000, /*untilFirstLine=*/true)) << sim.err;
        test::ChildProcess replace(TALQ_PATH, {"replace", "--port", "COM1", till});
        EXPECT_EQ(test::RunToEnd(replace, kDeadlineMs), c.exitCode) << replace.err;

        EXPECT_EQ(test::ReadText(portsFile), c.portsFile);
        EXPECT_EQ(cupsd.DeviceUri("receipts"), c.uri);
        EXPECT_FALSE(cupsd.Paused("receipts"));
        EXPECT_TRUE(std::filesystem::is_empty(dir / "state/talquist-manager"));
        // What the ports file says now reaches the printer, holding what the run left.
        test::ChildProcess get(TALQ_PATH, {"get", "--model", "1", "--port", "COM1", "--json"});
        EXPECT_EQ(test::RunToEnd(get, kDeadlineMs), 0) << get.err;
        EXPECT_NE(get.out.find(c.switch9), std::string::npos) << get.out;
        if (c.exitCode == 0) {
            EXPECT_NE(replace.out.find("COM1: replaced: KTV-540/542, 4 pins set, read back, test "
                                       "page printed; the host reaches it with --baud 9600 "
                                       "--data-bits 8 --parity Even --stop-bits 1 --flow "
                                       "Hardware\n"),
                      std::string::npos)
                << replace.out;
        } else {
            EXPECT_NE(replace.err.find("talq: COM1: the printer did not answer at its new serial "
                                       "settings (--baud 9600 --data-bits 8 --parity Even "
                                       "--stop-bits 1 --flow Hardware), but still at the earlier "
                                       "ones: it may take them only when it next starts; rolled "
                                       "back: the printer holds its earlier settings again"),
                      std::string::npos)
                << replace.err;
        }
    }
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace talq::cli
