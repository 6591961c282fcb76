// talq find in virtual time: what it says and prints per port, and what --save keeps for the
// commands after it.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "setup/find_printer.h"
#include "support/scoped_env.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

using test::RunTalq;

TEST(FindCommand, FindsSavesAndTheNextCommandsUseWhatWasSaved) {
    test::ScratchDir dir;
    const std::string file = dir / "config/talquist-manager/ports.conf";
    test::ScopedEnv env("XDG_CONFIG_HOME", dir / "config");
    env.Set("XDG_STATE_HOME", dir / "state");
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    auto printer = std::make_shared<test::SimulatedPrinterDevice>(1);
    ASSERT_TRUE(printer->Printer().SetLine({9600, 7, sim::Parity::Even, 1, sim::Flow::DtrDsr}));
    os.AddDevice("COM1", printer);
    os.AddDevice("COM2", std::make_shared<test::SimulatedPrinterDevice>(0));
    os.Unplug("COM2");  // opens fail: "cannot be opened"
    std::filesystem::create_directories(dir / "config/talquist-manager");
    test::WriteText(file, "# till 4\r\nCOM1 = /dev/ttyS0  # the printer\r\n");

    // Any model, every setting: the KTV-540/542 answers the tenth look with its model-ID byte
    // and is asked as what it is.
    const auto start = os.NowMs();
    const auto found = RunTalq({"find", "--port", "COM1", "--port", "COM2", "--json", "--save"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    const auto documents = nlohmann::json::parse(found.out);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0], nlohmann::json::parse(R"({
        "format": "talq-find/1", "port": "COM1", "result": "found", "model": "KTV-540/542",
        "printer": {"firmwareVersion": "Ver 1.05", "modelName": "KTV-540/542"},
        "lineSettings": {"baud": "9600", "dataBits": "7", "parity": "Even", "stopBits": "1",
                         "flow": "Hardware"},
        "tries": 11, "exitCode": 0})"));
    EXPECT_EQ(documents[1]["result"], "cannot open");
    EXPECT_EQ(documents[1]["exitCode"], 3);
    // Seven silent settings (19200, 115200, 9600, 38400, 57600, 4800, 2400 at 8 None), then
    // 19200 and 115200 at 7 Even, before 9600 at 7 Even answers.
    EXPECT_GE(os.NowMs() - start, 9 * setup::SilentTryMs(link::Serial));
    EXPECT_NE(found.err.find("COM1: trying 42 line settings; given up after 16 s"),
              std::string::npos)
        << found.err;
    EXPECT_NE(found.err.find("COM2: " + platform::DevicePathForPort("COM2") + " cannot be opened"),
              std::string::npos)
        << found.err;
    // Saved beside the mapping, in the file's own line ends; map keeps it.
    EXPECT_EQ(
        test::ReadText(file),
        "# till 4\r\nCOM1 = /dev/ttyS0  # the printer\r\nCOM1.line=9600 7 Even 1 Hardware\r\n");
    ASSERT_EQ(RunTalq({"map", "COM1", "/dev/ttyS9"}).exitCode, 0);
    EXPECT_EQ(test::ReadText(file),
              "# till 4\r\nCOM1=/dev/ttyS9\r\nCOM1.line=9600 7 Even 1 Hardware\r\n");
    os.AddDevice("/dev/ttyS9", printer);

    // Without a line option the saved settings reach the printer; with one, the dialog's
    // defaults fill the rest, and a saved rate the model lacks is named with its line.
    EXPECT_EQ(RunTalq({"check", "--model", "1", "--port", "COM1"}).exitCode, 0);
    EXPECT_EQ(RunTalq({"check", "--model", "1", "--port", "COM1", "--baud", "9600"}).exitCode, 4);
    test::WriteText(file, "COM1=/dev/ttyS9\nCOM1.line=2400 8 None 1 Hardware\n");
    const auto refused = RunTalq({"get", "--model", "1", "--port", "COM1"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find(file + ":2: COM1's line settings: --baud \"2400\" is not one of"),
              std::string::npos)
        << refused.err;
}

}  // namespace
}  // namespace talq::cli
