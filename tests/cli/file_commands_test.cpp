// show, diff, factory and ports: no printer involved.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/environment.h"
#include "support/scoped_platform.h"
#include "support/system_reasons.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

using test::RunTalq;

TEST(FileCommands, FactoryFilesShowAndCompare) {
    test::ScratchDir dir;
    const std::string sts = dir / "f.sts", json = dir / "f.json";
    ASSERT_EQ(RunTalq({"factory", "--model", "KTV-520plus", "-o", sts}).exitCode, 0);
    ASSERT_EQ(RunTalq({"factory", "--model", "1", "-o", json}).exitCode, 0);
    EXPECT_EQ(test::ReadText(sts), std::string(216, '\0'));

    const auto shown = RunTalq({"show", json});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("Model: KTV-540/542\n"), std::string::npos);
    EXPECT_NE(shown.out.find("[PIN 5] AutoLine Feed: Disable"), std::string::npos);
    EXPECT_NE(shown.out.find("Serial settings: baud 115200, data bits 8, parity None, flow "
                             "control DTR/DSR"),
              std::string::npos);
    EXPECT_NE(RunTalq({"show", sts}).out.find("Model: (not given: no captions)\n"),
              std::string::npos);

    // The JSON form of a file carries the same 216 bytes back.
    const std::string again = dir / "again.sts", viaJson = dir / "via.json";
    test::WriteText(viaJson, RunTalq({"show", sts, "--json"}).out);
    EXPECT_EQ(RunTalq({"diff", sts, viaJson}).exitCode, 0);

    const auto differs = RunTalq({"diff", sts, json});
    EXPECT_EQ(differs.exitCode, 1);
    EXPECT_EQ(differs.out,
              "printer's serial settings: baud 9600 -> 115200  [switch 9 pin 8: 0 -> 1]\n");
    EXPECT_EQ(RunTalq({"diff", sts, json, "--model", "0"}).out,
              "switch 9 pin 8: 0 -> 1  [PIN 8] User Setting: Disable -> Enable\n");
}

TEST(FileCommands, PinsThatHoldASettingReadAsThatSetting) {
    test::ScratchDir dir;
    const std::string cleared = dir / "cleared.sts", edited = dir / "edited.json";
    test::WriteText(cleared, std::string(216, '\0'));
    const struct {
        std::string model;
        std::vector<std::array<int, 3>> pins;  // switch, pin, value in the edited file
        std::string diff;
        std::string shown;  // a line of `show` for the edited file
    } cases[] = {
        {"0",
         {{2, 5, 1}},
         "default code page: 0 PC437 (USA: Standard Europe) -> 2 PC850 (Multilingual)  "
         "[switch 2 pin 5: 0 -> 1]\n",
         "  pins 3-8    default code page: 2 PC850 (Multilingual)  [pin 3: 0, pin 4: 0, pin 5: 1, "
         "pin 6: 0, pin 7: 0, pin 8: 0]\n"},
        {"1",
         {{9, 2, 1}, {9, 4, 1}, {9, 7, 1}, {9, 1, 1}},
         "switch 9 pin 1: 0 -> 1  [PIN 1] Reserved\n"
         "printer's serial settings: baud 9600 -> 38400, data bits 8 -> 7, parity None -> Odd  "
         "[switch 9 pin 2: 0 -> 1, pin 4: 0 -> 1, pin 7: 0 -> 1]\n",
         "  pins 2-8    printer's serial settings: baud 38400, data bits 7, parity Odd, flow "
         "control DTR/DSR  [pin 2: 1, pin 3: 0, pin 4: 1, pin 5: 0, pin 6: 0, pin 7: 1, pin 8: "
         "0]\n"},
        {"1",
         {{9, 3, 1}},
         "printer's serial settings: unchanged, baud 9600, data bits 8, parity None, flow control "
         "DTR/DSR  [switch 9 pin 3: 0 -> 1]\n",
         "Serial settings: baud 9600, data bits 8, parity None, flow control DTR/DSR\n"},
        // A pattern above the list: a printer may hold it, though no entry names it.
        {"2",
         {{2, 3, 1}, {2, 6, 1}, {2, 7, 1}},
         "default code page: 0 PC437 (USA: Standard Europe) -> 44 (matches no entry of the list)  "
         "[switch 2 pin 3: 0 -> 1, pin 6: 0 -> 1, pin 7: 0 -> 1]\n",
         "Default code page: 44 (matches no entry of the list)\n"},
        // Elsewhere switch 9 is free pins.
        {"0",
         {{9, 8, 1}},
         "switch 9 pin 8: 0 -> 1  [PIN 8] User Setting: Disable -> Enable\n",
         "  pin 8  1    [PIN 8] User Setting: Enable"},
    };
    for (const auto& c : cases) {
        nlohmann::json document = nlohmann::json::parse(RunTalq({"show", cleared, "--json"}).out);
        document.erase("codePage");
        document.erase("serial");
        for (const auto& [number, pin, value] : c.pins) {
            document["switches"][std::to_string(number)][static_cast<std::size_t>(pin)] = value;
        }
        test::WriteText(edited, document.dump());
        const auto diff = RunTalq({"diff", cleared, edited, "--model", c.model});
        EXPECT_EQ(diff.exitCode, 1);
        EXPECT_EQ(diff.out, c.diff);
        const auto shown = RunTalq({"show", edited, "--model", c.model});
        EXPECT_NE(shown.out.find(c.shown), std::string::npos) << shown.out;
    }
}

TEST(FileCommands, BadInputWritesNothing) {
    test::ScratchDir dir;
    test::WriteText(dir / "odd.sts", std::string(215, '\1'));
    // What no printer sends: a pin of 5.
    std::string image(216, '\0');
    image[4 * 9 * 2 + 4 * 2] = 5;  // switch 8 pin 2
    test::WriteText(dir / "five.sts", image);
    const auto json = [&](const std::string& name, int pinValue, const std::string& model) {
        RunTalq({"factory", "--model", model, "-o", dir / "f.json"});
        auto document = nlohmann::json::parse(test::ReadText(dir / "f.json"));
        document.erase("codePage");
        document.erase("serial");
        document["switches"]["10"][5] = pinValue;
        test::WriteText(dir / name, document.dump());
    };
    json("five.json", 5, "0");
    json("other.json", 0, "KTV-540/542");
    std::filesystem::remove(dir / "f.json");
    const std::size_t files = dir.FileCount();
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"factory", "--model", "5", "-o", dir / "x.sts"}, 2, "unknown model"},
        {{"factory", "--model", "0", "-o", dir / "x.bin"}, 2, "must end in .sts"},
        {{"factory", "--model", "0", "-o", dir / "no/x.sts"},
         7,
         "x.sts: " + test::MissingFolderReason(dir / "no/x.sts")},
        {{"factory", "--model", "0", "-o", dir / "no/x.json"},
         7,
         test::MissingFolderReason(dir / "no/x.json")},
        {{"show", dir / "odd.sts"}, 7, "this one has 215"},
        {{"show", dir / "five.sts"},
         7,
         "not a status file: switch 8 pin 2 holds 5; a pin is 0 or 1"},
        {{"show", dir / "five.json"}, 7, "switch 10 pin 5 holds 5"},
        {{"show", dir / "other.json", "--model", "0"},
         2,
         "written for the KTV-540/542, not the KTV-520plus"},

        {{"show", dir / "odd.sts", "--model", "KTV"}, 2, "unknown model"},
        {{"diff", dir / "odd.sts"}, 2, "files"},
        {{"frobnicate"}, 2, "A subcommand is required"},
        {{}, 2, "A subcommand is required"},
    };
    for (const auto& c : cases) {
        const auto result = RunTalq(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_EQ(dir.FileCount(), files);
}

// What a new user asks first: the version, the code pages, and the help once per command.
TEST(FileCommands, VersionCodePagesAndHelpAnswerWithoutAPrinter) {
    const struct {
        std::vector<std::string> args;
        std::string said;
        std::string notSaid;
    } cases[] = {
        {{"--version"}, "talq " TALQ_VERSION_FOR_TESTS "\n", "subcommand"},
        {{"code-pages"}, " 2  PC850 (Multilingual)\n", "\n37 "},
        {{"--help"}, "130 interrupted", "--port PORT"},
        {{"get", "--help"}, "--port PORT", "130 interrupted"},
    };
    for (const auto& c : cases) {
        const auto result = RunTalq(c.args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find(c.said), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find(c.notSaid), std::string::npos) << result.out;
    }
    const std::string pages = RunTalq({"code-pages"}).out;
    EXPECT_EQ(std::count(pages.begin(), pages.end(), '\n'), 37);
}

// One maker printer on the USB bus, with a node the virtual platform hosts.
struct OnePrinterBus : platform::UsbBus {
    std::optional<std::vector<platform::UsbDeviceInfo>> PresentDevices() override {
        return std::vector<platform::UsbDeviceInfo>{{"/sys/usb1", "/dev/usb/lp3", 0x7c1a, 0x0006}};
    }
    std::unique_ptr<platform::UsbMonitor> Watch() override { return nullptr; }
};

TEST(FileCommands, PortsListsTheDialogsPortsAndTheUsbPrinters) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    os.AddDevice("/dev/usb/lp3", std::make_shared<test::SimulatedPrinterDevice>(0));
    OnePrinterBus bus;
    test::ScopedUsbBus scopedBus{bus};
    test::ScratchDir dir;
    test::WriteText(dir / "tty", "");
    test::SetEnvironment("TALQ_COM2", dir / "tty");
    test::SetEnvironment("TALQ_LPT3", dir / "none");
    const auto listed = RunTalq({"ports", "--json"});
    test::ClearEnvironment("TALQ_COM2");
    test::ClearEnvironment("TALQ_LPT3");
    ASSERT_EQ(listed.exitCode, 0);

    const auto ports = nlohmann::json::parse(listed.out);
    ASSERT_EQ(ports.size(), 14u);
    EXPECT_EQ(ports[1]["name"], "COM2");
    EXPECT_EQ(ports[1]["device"], dir / "tty");
    EXPECT_EQ(ports[1]["usable"], true);
    EXPECT_EQ(ports[12]["name"], "LPT3");
    EXPECT_EQ(ports[12]["exists"], false);
    EXPECT_EQ(ports[12]["reason"], test::MissingFileReason(dir / "none"));
    EXPECT_EQ(ports[13]["name"], "520plus:/dev/usb/lp3");
    EXPECT_EQ(ports[13]["interface"], "usb");
    EXPECT_EQ(ports[13]["modelGroup"], "520plus");
}

}  // namespace
}  // namespace talq::cli
