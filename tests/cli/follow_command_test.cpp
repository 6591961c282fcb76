// set --follow and replace in virtual time: the host's ports file and print queue move with the
// printer's new serial settings, or, when it does not answer there, everything goes back; a
// swapped printer that keeps its own settings takes the host along to them.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/scoped_env.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

using test::RunTalq;

TEST(FollowCommand, TheHostFollowsAPrinterThatAnswersAtItsNewSettingsOrAllGoesBack) {
    test::ScratchDir dir;
    test::ScopedEnv env("XDG_CONFIG_HOME", dir / "config");
    env.Set("XDG_STATE_HOME", dir / "state");
    const std::string file = dir / "config/talquist-manager/ports.conf", link = dir / "com1";
    std::filesystem::create_directories(dir / "config/talquist-manager");
    const std::string mapped = "COM1=" + link + "\r\nCOM1.line=115200 8 None 1 Hardware\r\n";
    const std::string uri = "serial:" + link + "?baud=115200+stop=1";

    const struct {
        bool takesAtOnce;  // the printer's new settings count as it leaves setting mode
        int exitCode;
        std::string result, portsFile, uri, switch9, error;
    } cases[] = {
        {true, 0, "followed", "COM1=" + link + "\r\nCOM1.line=38400 7 Even 1 Hardware\r\n",
         "serial:" + link + "?baud=38400+bits=7+parity=even+flow=hard+stop=1", "01001110", ""},
        {false, 4, "rolled back", mapped, uri, "10000000",
         "COM1: the printer did not answer at its new serial settings (--baud 38400 --data-bits "
         "7 --parity Even --stop-bits 1 --flow Hardware), but still at the earlier ones: it may "
         "take them only when it next starts; rolled back: the printer holds its earlier "
         "settings again (read back), and the host reaches it as before, at --baud 115200 "
         "--data-bits 8 --parity None --stop-bits 1 --flow Hardware"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        test::VirtualPlatform os;
        test::ScopedPlatform scoped{os};
        auto device = std::make_shared<test::SimulatedPrinterDevice>(1);
        device->Printer().SetRestartOnLeavingSettingMode(c.takesAtOnce);
        os.AddDevice(link, device);
        os.spooler.queues.push_back({"receipts", uri});
        test::WriteText(file, mapped);

        const auto set = RunTalq({"set", "--model", "1", "--port", "COM1", "--printer-baud",
                                  "38400", "--printer-data-bits", "7", "--printer-parity", "Even",
                                  "--follow", "--verify", "--json"});
        EXPECT_EQ(set.exitCode, c.exitCode) << set.err;
        const auto document = nlohmann::json::parse(set.out);
        EXPECT_EQ(document["follow"]["result"], c.result) << document.dump(1);
        EXPECT_EQ(document.value("error", ""), c.error);
        EXPECT_EQ(test::ReadText(file), c.portsFile);
        ASSERT_EQ(os.spooler.queues.size(), 1u);
        EXPECT_EQ(os.spooler.queues[0].portText, c.uri);
        EXPECT_FALSE(os.spooler.queues[0].paused);
        EXPECT_EQ(device->Printer().SwitchText(9), c.switch9);
        EXPECT_TRUE(std::filesystem::is_empty(dir / "state/talquist-manager"));
    }
}

TEST(ReplaceCommand, ASwappedPrinterGetsTheTillsSwitchesAndTheHostItsLineSettings) {
    test::ScratchDir dir;
    test::ScopedEnv env("XDG_CONFIG_HOME", dir / "config");
    env.Set("XDG_STATE_HOME", dir / "state");
    const std::string file = dir / "config/talquist-manager/ports.conf", link = dir / "com1";
    std::filesystem::create_directories(dir / "config/talquist-manager");
    // The till knew its old printer at 9600; the new one comes at the factory's 19200.
    test::WriteText(file, "COM1=" + link + "\nCOM1.line=9600 8 None 1 Hardware\n");
    const std::string till = dir / "till.json";
    test::WriteText(till, R"({"format": "talq-status/1", "model": "KTV-520plus", "switches": {
        "1": [0, 0, 0, 0, 0, 0, 0, 0, 0], "2": [0, 0, 0, 0, 0, 0, 0, 0, 0],
        "8": [0, 0, 0, 0, 0, 0, 0, 0, 0], "9": [0, 0, 0, 0, 0, 0, 0, 0, 0],
        "10": [0, 0, 0, 0, 0, 1, 0, 0, 0], "11": [0, 0, 0, 0, 0, 0, 0, 0, 0]}})");
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    auto device = std::make_shared<test::SimulatedPrinterDevice>(0);
    os.AddDevice(link, device);
    os.spooler.queues.push_back({"receipts", "serial:" + link + "?baud=9600"});

    // A file for another model than the one asked for is refused before the port is touched.
    const auto wrong = RunTalq({"replace", "--model", "KTV-520plusF", "--port", "COM1", till});
    EXPECT_EQ(wrong.exitCode, 2) << wrong.err;
    EXPECT_TRUE(os.Transcript().empty());

    const auto replaced = RunTalq({"replace", "--port", "COM1", till, "--json"});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    const auto document = nlohmann::json::parse(replaced.out);
    EXPECT_EQ(document["foundAt"]["baud"], "19200");
    EXPECT_EQ(document["verify"], "match");
    EXPECT_EQ(document["selfTest"], true);
    EXPECT_EQ(document["follow"]["result"], "followed");
    EXPECT_EQ(document["lineSettings"]["baud"], "19200");
    EXPECT_NE(replaced.err.find("COM1: found KTV-520plus (\"KTV-520plus\", firmware \"Ver A01\") at "
                                "19200 8 None 1 Hardware"),
              std::string::npos)
        << replaced.err;
    EXPECT_EQ(device->Printer().SwitchText(10), "00010000");
    EXPECT_EQ(device->Printer().TestPrintCount(), 1);
    EXPECT_EQ(test::ReadText(file), "COM1=" + link + "\nCOM1.line=19200 8 None 1 Hardware\n");
    EXPECT_EQ(os.spooler.queues[0].portText,
              "serial:" + link + "?baud=19200+bits=8+parity=none+flow=hard");
    EXPECT_FALSE(os.spooler.queues[0].paused);
}

}  // namespace
}  // namespace talq::cli
