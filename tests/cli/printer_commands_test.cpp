// get, set and check against the simulated printer in virtual time.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <tuple>

#include "platform/port_access.h"
#include "status/code_pages.h"
#include "support/environment.h"
#include "support/scoped_platform.h"
#include "support/system_reasons.h"
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
    EXPECT_NE(set.out.find("default code page: 0 PC437 (USA: Standard Europe) -> 2 PC850 "
                           "(Multilingual)  [switch 2 pin 5: 0 -> 1]\n"),
              std::string::npos);
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
    // Only the KTV-540/542 keeps its serial settings in the switches.
    const auto serialRefused = [](const std::string& option, const std::string& onModel1) {
        return GetParam() == 1 ? onModel1
                               : option +
                                     ": the KTV-520plus keeps its serial settings apart from "
                                     "its memory switches, and Set Status writes only the "
                                     "switches";
    };

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
        {On("set", {"--code-page", "Reserved"}), 2,
         "fits several code pages; give its number:\n  "},
        {On("set", {model1Json}), 2, "written for the"},
        {On("set", {dir / "short.sts"}), 7, "exactly 216 bytes; this one has 100"},
        {On("set", {dir / "long.sts"}), 7, "exactly 216 bytes; this one has more"},
        {On("set", {dir / "upper.STS"}), 7, "Wrong format files loaded."},
        {On("set", {dir / "bad.json"}), 7, "malformed JSON"},
        {On("set", {dir / "missing.sts"}), 7, test::MissingFileReason(dir / "missing.sts")},
        {On("set", {dir / ""}), 7, "Wrong format"},
        // One pin through two routes: the later would silently undo the earlier.
        {On("set", {"--pin", "2.3=1", "--code-page", "PC850"}), 2,
         "--pin 2.3=1 and --code-page PC850 both set switch 2 pin 3; give one of them"},
        {On("set", {"--code-page", "2", "--pin", "2.2=1", "--pin", "2.8=0"}), 2,
         "--pin 2.8=0 and --code-page 2 both set switch 2 pin 8"},
        {On("set", {"--pin", "9.6=1", "--printer-baud", "9600"}), 2,
         serialRefused("--printer-baud",
                       "--pin 9.6=1 and --printer-baud 9600 both set switch 9 pin 6")},
        {On("set", {"--printer-parity", "none", "--pin", "9.3=1"}), 2,
         serialRefused("--printer-parity",
                       "--pin 9.3=1 and --printer-parity none both set switch 9 pin 3")},
        {On("set", {"--printer-data-bits", "7", "--pin", "9.2=0"}), 2,
         serialRefused("--printer-data-bits", "both set switch 9 pin 2")},
        {On("set", {"--printer-flow", "Xon/Xoff", "--pin", "9.5=1"}), 2,
         serialRefused("--printer-flow", "both set switch 9 pin 5")},
        {On("set", {"--printer-baud", "2400"}), 2,
         serialRefused("--printer-baud", "--printer-baud \"2400\" is not one of 9600, 19200")},
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
    test::SetEnvironment("TALQ_COM7", "/nonexistent/talq-tty");
    const auto missing = RunTalq({"check", "--model", "0", "--port", "COM7"});
    test::ClearEnvironment("TALQ_COM7");
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("Can't open port and Printer is disconnected"), std::string::npos);
    const auto refused = RunTalq(On("check", {"--stop-bits", "1.5"}));
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_NE(refused.err.find("the system's serial driver refuses stop bits 1.5"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(missing.err.find("talq: COM7: /nonexistent/talq-tty cannot be opened: " +
                               platform::ExplainDeviceOpenFailure("/nonexistent/talq-tty")),
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
                  std::string(GetParam() == 1 ? "KTV-540/542" : "KTV-520plus") +
                  ": no answer (power, cable, line settings?) (exit 4)\n");

    // With JSON the silent port still gives its document, one a script can parse.
    const auto quietJson =
        RunTalq({"get", "--model", std::to_string(GetParam()), "--port", "COM2", "--json", "-q"});
    EXPECT_EQ(quietJson.exitCode, 4);
    const auto document = nlohmann::json::parse(quietJson.out);
    EXPECT_EQ(document["port"], "COM2");
    EXPECT_EQ(document["exitCode"], 4);
    EXPECT_NE(document["error"].get<std::string>().find("no answer"), std::string::npos);

    os.SetWriteLimit("COM1", 1);
    const auto stalled = RunTalq(On("get", {"-q"}));
    EXPECT_EQ(stalled.exitCode, 5);
    EXPECT_EQ(stalled.err, "talq: COM1: the printer did not take the reset command\n");
}

// A printer that takes new serial settings as it leaves its setting mode: on the line it was
// set over it hears nothing more.
struct RetuningPrinter : test::SimulatedPrinterDevice {
    using SimulatedPrinterDevice::SimulatedPrinterDevice;
    void Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) override {
        SimulatedPrinterDevice::Write(data, size, nowMs);
        if (Printer().SwitchWriteCount() > 0 && !Printer().InSettingMode())
            Printer().SetSilent(true);
    }
};

TEST_P(PrinterCommands, PrinterSerialSettingsAreSetByTheirWordsOnTheKtv540Only) {
    if (GetParam() != 1) {
        const auto refused = RunTalq(On("set", {"--printer-flow", "DTR/DSR"}));
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_NE(refused.err.find("only the KTV-540/542 takes them from talq set"),
                  std::string::npos);
        EXPECT_TRUE(os.Transcript().empty());
        return;
    }
    // The simulated KTV-540/542 starts at 115200 baud, 8 data bits, no parity, DTR/DSR.
    const struct {
        std::vector<std::string> edits;
        std::string change;    // the line set prints
        std::string nextLine;  // what stderr names to reach the printer with; empty: nothing
        std::string switch9;   // pins 8..1 afterwards
    } steps[] = {
        {{"--printer-baud", "9600", "--printer-data-bits", "7", "--printer-parity", "Even",
          "--printer-flow", "xon/xoff"},
         "printer's serial settings: baud 115200 -> 9600, data bits 8 -> 7, parity None -> Even, "
         "flow control DTR/DSR -> Xon/Xoff  [switch 9 pin 2: 0 -> 1, pin 3: 0 -> 1, pin 4: 0 -> 1, "
         "pin 5: 0 -> 1, pin 8: 1 -> 0]\n",
         "--baud 9600 --data-bits 7 --parity Even --flow Xon/Xoff",
         "00011110"},
        {{"--printer-parity", "None", "--printer-baud", "115200", "--printer-flow", "DTR/DSR"},
         "printer's serial settings: baud 9600 -> 115200, parity Even -> None, flow control "
         "Xon/Xoff -> DTR/DSR  [switch 9 pin 4: 1 -> 0, pin 5: 1 -> 0, pin 8: 0 -> 1]\n",
         "--baud 115200 --data-bits 7 --parity None --flow Hardware",
         "10000110"},
        // A raw pin that "None" makes meaningless: sent, but the settings stay.
        {{"--pin", "9.3=0"},
         "printer's serial settings: unchanged, baud 115200, data bits 7, parity None, flow "
         "control DTR/DSR  [switch 9 pin 3: 1 -> 0]\n",
         "",
         "10000010"},
    };
    for (const auto& step : steps) {
        const auto set = RunTalq(On("set", step.edits));
        ASSERT_EQ(set.exitCode, 0) << set.err;
        EXPECT_EQ(set.out, "COM1:\n" + step.change);
        const std::string notice =
            "COM1: the printer's serial settings change: reach it next time with " + step.nextLine;
        EXPECT_EQ(set.err.find(notice) != std::string::npos, !step.nextLine.empty()) << set.err;
        EXPECT_EQ(printer.SwitchText(9), step.switch9);
    }

    // A printer that took its new settings at once cannot be read back on the old line.
    auto retuning = std::make_shared<RetuningPrinter>(1);
    os.AddDevice("COM2", retuning);
    const auto verify =
        RunTalq({"set", "--model", "1", "--port", "COM2", "--printer-baud", "38400", "--verify"});
    EXPECT_EQ(verify.exitCode, 4);
    EXPECT_NE(verify.err.find("COM2: the printer's serial settings change: reach it next time "
                              "with --baud 38400 --data-bits 8 --parity None --flow Hardware"),
              std::string::npos);
    EXPECT_NE(verify.err.find("COM2: verify: Get Status: the printer was not identified on this "
                              "run's line settings; it may have taken its new serial settings "
                              "already: check with talq get --model KTV-540/542 --port COM2 "
                              "--baud 38400"),
              std::string::npos)
        << verify.err;
}

TEST_P(PrinterCommands, SettingsAreNamedByTheWordsShowPrints) {
    const int model = GetParam();
    constexpr int kBoth = -1;
    const std::string user = "talq: --setting \"User Setting=Enable\": ";
    const struct {
        int model;
        std::vector<std::string> edits;
        int exitCode;
        std::string err;  // all of it when the run succeeds (-q), else a part
        std::vector<std::tuple<int, int, bool>> pins;  // switch, pin, set afterwards
        std::string out = {};
    } cases[] = {
        {kBoth,
         {"--setting", "Auto Cutter=Full Cut", "--setting", "Font=B Font (9x24)"},
         0,
         "",
         {{2, 2, true}, {2, 1, true}},
         "switch 2 pin 1: 0 -> 1  [PIN 1] Font: A Font (12x24) -> B Font (9x24)"},
        {kBoth,
         {"--setting", " font :  =  a FONT (12x24) ", "--dry-run"},
         0,
         "",
         {{2, 1, true}},
         "switch 2 pin 1: 1 -> 0"},
        // The catalogue's own punctuation; the asterisk may be left out; a caption narrowed to
        // one pin as the candidates name it; the one pin whose 1 means "Disable".
        {0,
         {"--setting", "Parallel reset signal(I/F Pin 31)=enable", "--setting",
          "External Buzzer Control=Enable", "--setting", "paper width:=2 inch", "--setting",
          "Memory switch 11 [PIN 1] User Setting=Disable", "--pin", "2.5=1"},
         0,
         "",
         {{10, 8, true}, {10, 1, true}, {10, 5, true}, {11, 1, true}, {2, 5, true}}},
        // The settings held in several pins, as show and the Printer Setting page name them.
        {1,
         {"--setting", "Default code page=PC850", "--setting", "Baund Rate :=9600", "--setting",
          "flow control=xon/xoff"},
         0,
         "",
         {{2, 5, true}, {9, 6, false}, {9, 8, false}, {9, 5, true}}},
        // A reserved pin is set, with a warning that --quiet keeps.
        {1,
         {"--pin", "10.5=1"},
         0,
         "talq: warning: --pin 10.5=1: switch 10 pin 5 is reserved on the KTV-540/542 (\"[PIN 5] "
         "Reserved\" in talq show); it is set as given\n",
         {{10, 5, true}}},
        {0,
         {"--setting", "User Setting=Enable"},
         2,
         user + "\"User Setting\" fits several pins of the KTV-520plus; name one:\n  switch 1 "
                "[PIN 4] User Setting\n  switch 8 [PIN 1] User Setting\n",
         {}},
        {0,
         {"--setting", "Paper widht=2 inch"},
         2,
         "the KTV-520plus has no setting \"Paper widht\"; its settings:\n  User Setting\n  Font\n  "
         "Auto Cutter\n  default code page\n  *External Buzzer Control\n  Paper width\n  Two "
         "Color Print\n  Parallel reset signal(I/F Pin 31)\n",
         {}},
        {1,
         {"--setting", "User Setting=Enable"},
         2,
         user + "the KTV-540/542 has no setting \"User Setting\"; its settings:\n  Cutting + "
                "Bell\n  AutoLine Feed\n  Font\n  Auto Cutter\n  default code page\n  baud\n  "
                "data bits\n  parity\n  flow control\n",
         {}},
        {kBoth,
         {"--setting", "Auto Cutter=Full"},
         2,
         "switch 2 [PIN 2] Auto Cutter takes \"Full Cut\" (1) or \"Partial Cut\" (0)",
         {}},
        {kBoth,
         {"--setting", "[PIN 3] Reserved=Enable"},
         2,
         "a reserved pin has no words; set it with --pin SWITCH.PIN=0|1",
         {}},
        {kBoth,
         {"--pin", "2.1=0", "--setting", "Font=B Font (9x24)"},
         2,
         "--pin 2.1=0 and --setting \"Font=B Font (9x24)\" both set switch 2 pin 1; give one of "
         "them",
         {}},
        {kBoth,
         {"--setting", "default code page=PC850", "--code-page", "2"},
         2,
         "--code-page 2 and --setting \"default code page=PC850\" both set switch 2 pin 3",
         {}},
    };
    for (const auto& c : cases) {
        if (c.model != kBoth && c.model != model) continue;
        std::vector<std::string> args = On("set", c.edits);
        args.insert(args.begin(), "-q");
        const auto result = RunTalq(args);
        const std::string where = c.edits[1] + ": " + result.err;
        EXPECT_EQ(result.exitCode, c.exitCode) << where;
        if (c.exitCode == 0) {
            EXPECT_EQ(result.err, c.err) << where;
        } else {
            EXPECT_NE(result.err.find(c.err), std::string::npos) << where;
        }
        EXPECT_NE(result.out.find(c.out), std::string::npos) << where << result.out;
        for (const auto& [number, pin, set] : c.pins) {
            EXPECT_EQ(printer.Pin(number, pin), set)
                << where << " switch " << number << " pin " << pin;
        }
    }
}

TEST_P(PrinterCommands, SetJsonReportsEachRun) {
    using Json = nlohmann::json;
    const struct {
        std::vector<std::string> args;
        std::optional<int> ignoredSwitch;
        int exitCode;
        Json changes;  // [switch, pin, before, after] each
        bool setStatus;
        Json verify;
        std::optional<std::pair<int, int>> codePage;  // decoded before, after
        std::pair<int, int> switch10Pin5;             // in "switches", and on the printer
    } cases[] = {
        {{"--pin", "10.5=1", "--code-page", "PC850"},
         {},
         0,
         {{2, 5, 0, 1}, {10, 5, 0, 1}},
         true,
         nullptr,
         std::pair{0, 2},
         {1, 1}},
        {{"--pin", "10.5=1", "--code-page", "2"}, {}, 0, Json::array(), false, nullptr, {}, {1, 1}},
        {{"--pin", "10.5=0", "--dry-run"}, {}, 0, {{10, 5, 1, 0}}, false, nullptr, {}, {0, 1}},
        {{"--pin", "10.5=0", "--verify"}, {}, 0, {{10, 5, 1, 0}}, true, "match", {}, {0, 0}},
        {{"--pin", "10.5=1", "--verify"}, 10, 6, {{10, 5, 0, 1}}, true, "mismatch", {}, {0, 0}},
    };
    for (const auto& c : cases) {
        printer.SetIgnoredSwitch(c.ignoredSwitch);
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const auto result = RunTalq(On("set", args));
        const std::string where = c.args.front() + " " + c.args[1] + ": " + result.err;
        ASSERT_EQ(result.exitCode, c.exitCode) << where;
        const Json document = Json::parse(result.out);
        EXPECT_EQ(document["format"], "talq-set/1");
        EXPECT_EQ(document["port"], "COM1");
        EXPECT_EQ(document["exitCode"], c.exitCode);
        EXPECT_EQ(document.contains("error"), c.exitCode != 0) << where;
        Json changes = Json::array();
        for (const Json& change : document["changes"]) {
            changes.push_back({change["switch"], change["pin"], change["before"], change["after"]});
        }
        EXPECT_EQ(changes, c.changes) << where;
        EXPECT_EQ(document["setStatus"], c.setStatus) << where;
        EXPECT_EQ(document["dryRun"],
                  std::find(args.begin(), args.end(), "--dry-run") != args.end());
        EXPECT_EQ(document["verify"], c.verify) << where;
        EXPECT_EQ(document["decoded"].contains("codePage"), c.codePage.has_value());
        if (c.codePage) {
            EXPECT_EQ(document["decoded"]["codePage"]["before"]["index"], c.codePage->first);
            EXPECT_EQ(document["decoded"]["codePage"]["after"]["name"], "PC850 (Multilingual)");
        }
        EXPECT_FALSE(document["decoded"].contains("serial"));
        EXPECT_EQ(document["switches"]["10"][5], c.switch10Pin5.first) << where;
        EXPECT_EQ(printer.Pin(10, 5), c.switch10Pin5.second == 1) << where;
    }

    // Several ports give an array in their order; one that fails still has its document.
    printer.SetIgnoredSwitch({});
    auto silent = std::make_shared<test::SimulatedPrinterDevice>(GetParam());
    silent->Printer().SetSilent(true);
    os.AddDevice("COM2", silent);
    const auto both = RunTalq(On("set", {"--port", "COM2", "--pin", "10.5=1", "--json"}));
    EXPECT_EQ(both.exitCode, 4);
    const Json documents = Json::parse(both.out);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0]["port"], "COM1");
    EXPECT_EQ(documents[0]["exitCode"], 0);
    EXPECT_EQ(documents[1]["port"], "COM2");
    EXPECT_EQ(documents[1]["exitCode"], 4);
    EXPECT_EQ(documents[1]["setStatus"], false);
    EXPECT_EQ(documents[1]["switches"], nullptr);
    EXPECT_NE(documents[1]["error"].get<std::string>().find("not identified"), std::string::npos);
    EXPECT_NE(both.err.find("COM2: the printer was not identified"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Models, PrinterCommands, ::testing::Values(0, 1));

// Whatever code page pins a printer holds, also a pattern the list has no entry for, what get
// gives is taken back by show and set: every model, all 64 patterns, the status file it writes
// and the JSON it prints (what the collection receives).
TEST(StatusFileRoundTrip, WhatGetWritesShowAndSetTakeBack) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    test::ScratchDir dir;
    for (int model = 0; model < 3; ++model) {
        const std::string port = "COM" + std::to_string(model + 1);
        auto device = std::make_shared<test::SimulatedPrinterDevice>(model);
        os.AddDevice(port, device);
        sim::SimulatedPrinter& printer = device->Printer();
        const auto holdPins = [&](int pattern) {  // bit i: pin 3 + i of switch 2
            for (int bit = 0; bit < 6; ++bit) printer.SetPin(2, 3 + bit, (pattern >> bit & 1) != 0);
        };
        const auto talq = [&](std::string command, std::vector<std::string> more) {
            std::vector<std::string> args{command, "--model", std::to_string(model), "--port",
                                          port};
            args.insert(args.end(), more.begin(), more.end());
            return RunTalq(args);
        };
        for (int pattern = 0; pattern < 64; ++pattern) {
            holdPins(pattern);
            const std::string switch2 = printer.SwitchText(2);
            status::PrinterStatus held{};
            for (int bit = 0; bit < 6; ++bit) held.switches[1].pins[3 + bit] = pattern >> bit & 1;
            const int page = status::DecodeCodePage(held);
            const bool listed = page < status::kCodePageCount;
            for (const std::string name : {"a.sts", "a.json"}) {
                SCOPED_TRACE(port + " pins 8..1 " + switch2 + " " + name);
                const std::string file = dir / name;
                if (name == "a.sts") {
                    ASSERT_EQ(talq("get", {"-o", file}).exitCode, 0);
                } else {
                    const auto got = talq("get", {"--json"});
                    ASSERT_EQ(got.exitCode, 0);
                    test::WriteText(file, got.out);
                    const auto codePage = nlohmann::json::parse(got.out)["codePage"];
                    EXPECT_EQ(codePage["index"], page);
                    EXPECT_EQ(codePage["name"].is_null(), !listed);
                    EXPECT_EQ(codePage["inList"], listed);
                }
                const std::string words =
                    std::to_string(page) + " " +
                    (listed ? std::string(status::kCodePageTexts[static_cast<std::size_t>(page)])
                            : "(matches no entry of the list)");
                const auto shown = RunTalq({"show", file});
                EXPECT_EQ(shown.exitCode, 0) << shown.err;
                EXPECT_NE(shown.out.find("Default code page: " + words + "\n"), std::string::npos)
                    << shown.out;

                holdPins(63 - pattern);  // each code page pin the other way
                const auto set = talq("set", {file});
                ASSERT_EQ(set.exitCode, 0) << set.err;
                EXPECT_NE(set.out.find(" -> " + words + "  [switch 2 pin 3: "), std::string::npos)
                    << set.out;
                EXPECT_EQ(printer.SwitchText(2), switch2);
            }
        }
    }
}

}  // namespace
}  // namespace talq::cli
