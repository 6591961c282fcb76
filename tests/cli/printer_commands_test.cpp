// get, set and check against the simulated printer in virtual time.
#include <gtest/gtest.h>

#include <map>

#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

using test::RunTalq;

struct PrinterCommands : ::testing::TestWithParam<int> {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    std::shared_ptr<test::SimulatedPrinterDevice> device = AddPrinter(GetParam());
    sim::SimulatedPrinter& printer = device->Printer();
    test::ScratchDir dir;

    std::shared_ptr<test::SimulatedPrinterDevice> AddPrinter(int model) {
        auto added = std::make_shared<test::SimulatedPrinterDevice>(model);
        os.AddDevice("COM1", added);
        return added;
    }
    std::vector<std::string> On(std::string command, std::vector<std::string> more = {}) {
        std::vector<std::string> args{command, "--model", std::to_string(GetParam()), "--port",
                                      "COM1"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::map<int, std::string> Switches() const {
        std::map<int, std::string> texts;
        for (int number : {1, 2, 8, 9, 10, 11}) texts[number] = printer.SwitchText(number);
        return texts;
    }
};

TEST_P(PrinterCommands, GetToFileThenSetWithAnEditVerifiesAndRepeatsAsUnchanged) {
    const std::string saved = dir / "x.sts";
    const auto got = RunTalq(On("get", {"-o", saved}));
    ASSERT_EQ(got.exitCode, 0) << got.err;
    EXPECT_EQ(test::ReadText(saved).size(), 216u);
    EXPECT_NE(got.out.find("  pin 1  0    [PIN 1] Font: A Font (12x24)"), std::string::npos)
        << got.out;
    EXPECT_NE(
        got.out.find("Model name: " + std::string(GetParam() == 1 ? "KTV-540/542" : "KTV-520plus")),
        std::string::npos);
    EXPECT_NE(got.err.find("Success to get status of printer."), std::string::npos);

    const auto set =
        RunTalq(On("set", {saved, "--pin", "2.1=1", "--code-page", "PC850", "--verify"}));
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("switch 2 pin 1: 0 -> 1  [PIN 1] Font: A Font (12x24) -> B Font (9x24)"),
              std::string::npos)
        << set.out;
    EXPECT_NE(set.out.find("switch 2 pin 5: 0 -> 1  [PIN 5] Reserved"), std::string::npos);
    EXPECT_EQ(printer.SwitchText(2).substr(0, 6), "000100");  // pins 8..3: code page 2
    EXPECT_TRUE(printer.Pin(2, 1));
    EXPECT_NE(set.err.find("Success to set status of printer"), std::string::npos);

    // The same run again changes nothing, so nothing is sent; nor does a dry run.
    const int writes = printer.SwitchWriteCount();
    const auto again = RunTalq(On("set", {saved, "--pin", "2.1=1", "--code-page", "2"}));
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "COM1: unchanged\n");
    const auto dry = RunTalq(On("set", {"--pin", "10.5=1", "--dry-run"}));
    EXPECT_EQ(dry.exitCode, 0);
    EXPECT_NE(dry.out.find("switch 10 pin 5: 0 -> 1"), std::string::npos);
    EXPECT_EQ(printer.SwitchWriteCount(), writes);
    EXPECT_FALSE(printer.Pin(10, 5));
}

TEST_P(PrinterCommands, VerifyFailsWhenThePrinterKeepsASwitch) {
    printer.SetIgnoredSwitch(10);
    const auto set = RunTalq(On("set", {"--pin", "10.5=1", "--verify"}));
    EXPECT_EQ(set.exitCode, 6);
    EXPECT_NE(set.err.find("verify failed"), std::string::npos);
    EXPECT_NE(set.err.find("switch 10 pin 5: 1 -> 0"), std::string::npos) << set.err;
}

TEST_P(PrinterCommands, BadInputTouchesNeitherPrinterNorDisk) {
    const std::string model1Json = dir / "other.json";
    ASSERT_EQ(
        RunTalq({"factory", "--model", GetParam() == 1 ? "0" : "1", "-o", model1Json}).exitCode, 0);
    test::WriteText(dir / "short.sts", std::string(100, '\0'));
    test::WriteText(dir / "long.sts", std::string(217, '\0'));
    test::WriteText(dir / "upper.STS", std::string(216, '\0'));
    test::WriteText(dir / "bad.json", "{\"switches\": ");
    const std::size_t files = dir.FileCount();
    const auto before = Switches();

    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"get", "--model", "KTV-999", "--port", "COM1"}, 2, "unknown model"},
        {{"get", "--model", "3", "--port", "COM1"}, 2, "unknown model"},
        {On("get", {"--port", "COM11"}), 2, "\"COM11\": unknown port"},
        {{"get", "--model", "2", "--port", "LPT1"}, 2, "only over SERIAL"},
        {{"get", "--model", "2", "--port", "usb"}, 2, "only over SERIAL"},
        {On("get", {"--jobs", "0"}), 2, "--jobs"},
        {On("get", {"--baud", "1200"}), 2, "--baud \"1200\" is not one of"},
        {On("get", {"--parity", "Mark"}), 2, "--parity \"Mark\""},
        {On("get", {"--stop-bits", "3"}), 2, "--stop-bits \"3\""},
        {On("get", {"-o", dir / "x.txt"}), 2, "must end in .sts"},
        {On("get", {"--bogus"}), 2, "--bogus"},
        {{"get", "--model", "0"}, 2, "--port is required"},
        {On("set", {"--pin", "3.1=1"}), 2, "no such memory switch"},
        {On("set", {"--pin", "2.9=1"}), 2, "no such pin"},
        {On("set", {"--pin", "2.0=1"}), 2, "no such pin"},
        {On("set", {"--pin", "2.1=2"}), 2, "must be 0 or 1"},
        {On("set", {"--pin", "2.1=01"}), 2, "must be 0 or 1"},
        {On("set", {"--pin", "2.1"}), 2, "write SWITCH.PIN=0|1"},
        {On("set", {"--pin", "1.3=1"}), 2, "only pins 4 and 5 of switch 1"},
        {On("set", {"--code-page", "PC999"}), 2, "no such code page"},
        {On("set", {"--code-page", "37"}), 2, "no such code page"},
        {On("set", {"--code-page", "Reserved"}), 2, "fits several"},
        {On("set", {model1Json}), 2, "written for the"},
        {On("set", {dir / "short.sts"}), 7, "exactly 216 bytes; this one has 100"},
        {On("set", {dir / "long.sts"}), 7, "exactly 216 bytes; this one has more"},
        {On("set", {dir / "upper.STS"}), 7, "Wrong format files loaded."},
        {On("set", {dir / "bad.json"}), 7, "malformed JSON"},
        {On("set", {dir / "missing.sts"}), 7, "No such file or directory"},
        {On("set", {dir / ""}), 7, "Wrong format"},
    };
    for (const auto& c : cases) {
        const auto result = RunTalq(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.back() << ": " << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos)
            << c.args.back() << " said: " << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
    }
    EXPECT_TRUE(os.Transcript().empty());  // no port was even opened
    EXPECT_EQ(Switches(), before);
    EXPECT_EQ(dir.FileCount(), files);
}

TEST_P(PrinterCommands, PortAndPrinterFailuresHaveTheirExitCodes) {
    ::setenv("TALQ_COM7", "/nonexistent/talq-tty", 1);
    const auto missing = RunTalq({"check", "--model", "0", "--port", "COM7"});
    ::unsetenv("TALQ_COM7");
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("Can't open port and Printer is disconnected"), std::string::npos);
    EXPECT_NE(missing.err.find("COM7 (/nonexistent/talq-tty) cannot be opened: No such file"),
              std::string::npos)
        << missing.err;

    // A second printer that never answers, then one whose line stalls at the first command.
    auto silent = std::make_shared<test::SimulatedPrinterDevice>(GetParam());
    silent->Printer().SetSilent(true);
    os.AddDevice("COM2", silent);
    const auto quiet = RunTalq(
        {"check", "--model", std::to_string(GetParam()), "--port", "COM1", "--port", "COM2"});
    EXPECT_EQ(quiet.exitCode, 4);
    EXPECT_NE(quiet.err.find("The connected printer has different device ID."), std::string::npos);
    EXPECT_EQ(quiet.out,
              "COM1: connected\nCOM1: connected (exit 0)\n"
              "COM2: the printer was not identified as a " +
                  std::string(GetParam() == 1 ? "KTV-540/542" : "KTV-520plus") + " (exit 4)\n");

    os.SetWriteLimit("COM1", 1);
    const auto stalled = RunTalq(On("get", {"-q"}));
    EXPECT_EQ(stalled.exitCode, 5);
    EXPECT_EQ(stalled.err, "talq: COM1: the printer did not take the reset command\n");
}

INSTANTIATE_TEST_SUITE_P(Models, PrinterCommands, ::testing::Values(0, 1));

}  // namespace
}  // namespace talq::cli
