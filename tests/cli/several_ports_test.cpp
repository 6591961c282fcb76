// Several ports at once in virtual time: each on its own thread, one faulty printer among
// healthy ones, and every USB printer by one name.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/fleet_output.h"
#include "platform/port_mapping.h"
#include "platform/usb_bus.h"
#include "setup/spooler_journal.h"
#include "support/scoped_env.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

using test::RunTalq;

struct SeveralPorts : ::testing::Test {
    test::TempDir state{"talq-state"};  // the run's journal of moved queues
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    std::map<std::string, std::shared_ptr<test::SimulatedPrinterDevice>> printers;

    void SetUp() override {
        ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
        for (const std::string name : {"COM1", "COM2", "COM3", "COM4"}) {
            printers[name] = std::make_shared<test::SimulatedPrinterDevice>(0);
            os.AddDevice(name, printers[name]);
            // A print queue on each port, moved off it while the port is in use.
            os.spooler.queues.push_back(
                {"q" + name, "serial:" + platform::DevicePathForPort(name), false});
        }
    }
    void TearDown() override { ::unsetenv("XDG_STATE_HOME"); }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(SeveralPorts, OneFaultyPrinterDisturbsNoOtherAndOutputKeepsTheGivenOrder) {
    // What one port alone prints for the change, the block each port's stdout must carry.
    const auto alone =
        RunTalq({"set", "--model", "0", "--port", "COM1", "--pin", "10.5=1", "--dry-run"});
    ASSERT_EQ(alone.exitCode, 0) << alone.err;
    const std::string change = alone.out.substr(alone.out.find('\n') + 1);

    printers["COM3"]->Printer().SetModelByte(0x7f);  // some other printer
    const std::vector<std::string> given{"COM4", "COM1", "COM3", "COM2"};
    std::vector<std::string> args{"set", "--model", "0", "--pin", "10.5=1", "--verify"};
    for (const auto& name : given) args.insert(args.end(), {"--port", name});
    const auto set = RunTalq(args);

    EXPECT_EQ(set.exitCode, 4);
    EXPECT_EQ(set.out, "COM4:\n" + change + "COM1:\n" + change + "COM2:\n" + change +
                           "COM4: done, verified (exit 0)\n"
                           "COM1: done, verified (exit 0)\n"
                           "COM3: the printer was not identified as a KTV-520plus: it answered "
                           "as another model (exit 4)\n"
                           "COM2: done, verified (exit 0)\n");
    for (const std::string& line : Lines(set.err)) {
        EXPECT_TRUE(line.starts_with("COM1: ") || line.starts_with("COM2: ") ||
                    line.starts_with("COM3: ") || line.starts_with("COM4: "))
            << line;
    }
    EXPECT_NE(set.err.find("COM3: talq: the printer was not identified as a KTV-520plus: it "
                           "answered as another model\n"),
              std::string::npos)
        << set.err;
    EXPECT_NE(set.err.find("COM2: Success to set status of printer\n"), std::string::npos);

    for (const auto& [name, printer] : printers) {
        EXPECT_EQ(printer->Printer().Pin(10, 5), name != "COM3") << name;
    }
    // Every queue got its port back, and the shared journal is left empty.
    for (const auto& queue : os.spooler.queues) {
        EXPECT_EQ(queue.portText, "serial:" + platform::DevicePathForPort(queue.name.substr(1)));
        EXPECT_FALSE(queue.paused) << queue.name;
    }
    EXPECT_TRUE(setup::ProcessJournal().Entries().empty());

    // One at a time gives the same output.
    for (auto& printer : printers) printer.second->Printer().SetPin(10, 5, false);
    args.insert(args.end(), {"--jobs", "1"});
    const auto serial = RunTalq(args);
    EXPECT_EQ(serial.exitCode, 4);
    EXPECT_EQ(serial.out, set.out);
}

// A console that shows escape sequences as text (a classic Windows console) gets none: one
// port's bar is drawn with carriage returns, several ports get no progress lines.
TEST_F(SeveralPorts, AConsoleWithoutEscapesGetsNone) {
    for (const std::vector<std::string>& ports :
         {std::vector<std::string>{"--port", "COM1"},
          std::vector<std::string>{"--port", "COM1", "--port", "COM2"}}) {
        std::vector<std::string> args{"get", "--model", "0"};
        args.insert(args.end(), ports.begin(), ports.end());
        std::ostringstream out, err;
        ASSERT_EQ(cli::Run(args, out, err, /*errIsTerminal=*/true, /*errTakesEscapes=*/false), 0)
            << err.str();
        EXPECT_EQ(err.str().find('\x1b'), std::string::npos) << err.str();
        const bool onePort = ports.size() == 2;
        EXPECT_EQ(err.str().find("\r[") != std::string::npos, onePort) << err.str();
    }
}

// No event ever comes; a USB port needs a monitor to open.
struct SilentMonitor : platform::UsbMonitor {
    int fd() const override { return -1; }
    std::optional<platform::UsbEvent> Receive() override { return std::nullopt; }
};

// A bus with two of the maker's printers and a device of another maker between them.
struct TwoPrinterBus : platform::UsbBus {
    std::optional<std::vector<platform::UsbDeviceInfo>> PresentDevices() override {
        if (empty) return std::vector<platform::UsbDeviceInfo>{};
        return std::vector<platform::UsbDeviceInfo>{{"/sys/usb1", "/dev/usb/lp4", 0x7c1a, 0x0006},
                                                    {"/sys/usb2", "/dev/usb/lp0", 0x1234, 0x0001},
                                                    {"/sys/usb3", "/dev/usb/lp2", 0x7c1a, 0x0006}};
    }
    std::unique_ptr<platform::UsbMonitor> Watch() override {
        return std::make_unique<SilentMonitor>();
    }
    bool empty = false;
};

TEST_F(SeveralPorts, UsbNamesEveryPrinterDiscoveryFindsInItsOrder) {
    TwoPrinterBus bus;
    test::ScopedUsbBus scopedBus{bus};
    for (const char* node : {"/dev/usb/lp4", "/dev/usb/lp0", "/dev/usb/lp2"}) {
        os.AddDevice(node, std::make_shared<test::SimulatedPrinterDevice>(0));
    }
    const auto got = RunTalq({"get", "--model", "0", "--port", "usb", "--json", "-q"});
    ASSERT_EQ(got.exitCode, 0) << got.err;
    const auto documents = nlohmann::json::parse(got.out);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0]["port"], "520plus:/dev/usb/lp4");
    EXPECT_EQ(documents[1]["port"], "520plus:/dev/usb/lp2");
    EXPECT_EQ(got.err,
              "520plus:/dev/usb/lp4: done (exit 0)\n520plus:/dev/usb/lp2: done (exit 0)\n");

    bus.empty = true;
    const auto none = RunTalq({"check", "--model", "0", "--port", "COM1", "--port", "usb"});
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_EQ(none.err,
              "talq: --port usb: no USB printer found: no KTV printer is plugged in (0 USB "
              "devices present)\n");
    EXPECT_EQ(none.out, "");
}

// The lines a terminal shows after `text`: enough of the escape sequences the progress lines use.
std::vector<std::string> Screen(const std::string& text) {
    std::vector<std::string> lines(1);
    std::size_t row = 0, column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            if (++row == lines.size()) lines.emplace_back();
            column = 0;
        } else if (c == '\x1b' && i + 1 < text.size() && text[i + 1] == '[') {
            std::size_t end = i + 2;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            const int count = end > i + 2 ? std::stoi(text.substr(i + 2, end - i - 2)) : 1;
            if (text[end] == 'A') row -= std::min<std::size_t>(row, count);
            if (text[end] == 'J') lines.resize(row + 1);
            if (text[end] == 'J' || text[end] == 'K') lines[row].resize(column);
            i = end;
        } else {
            if (lines[row].size() <= column) lines[row].resize(column + 1, ' ');
            lines[row][column++] = c;
        }
    }
    return lines;
}

// A faulty ports file read while several ports draw their progress lines: its report stays on
// the screen, above the lines, instead of being drawn over.
TEST(FleetOutputScreen, AReportFromElsewhereStaysAboveTheProgressLines) {
    test::ScratchDir dir;
    test::WriteText(dir / "ports.conf", "COM3 /dev/ttyUSB1\n");
    test::ScopedEnv env("TALQ_SYSTEM_PORTS_FILE", dir / "ports.conf");
    env.Unset("TALQ_COM3");
    std::ostringstream out, err;
    const Console console{out, err, false, true};
    {
        FleetOutput fleet(console, {"COM1", "COM2"});
        fleet.Started(0);
        fleet.Started(1);
        ConsoleSink first(fleet.PortConsole(0)), second(fleet.PortConsole(1));
        first.SetProgress(40);
        platform::MappingOfPort("COM3");  // as a port's thread opening its device does
        second.SetProgress(80);
        first.SetProgress(44);
        const std::vector<std::string> running = Screen(err.str());
        ASSERT_EQ(running.size(), 4u) << err.str();
        EXPECT_EQ(running[0], dir / "ports.conf" +
                                  ":1: not a mapping (PORT=DEVICE, e.g. "
                                  "COM3=/dev/ttyUSB0); line ignored");
        EXPECT_EQ(running[1], "COM1 " + BarText(44));
        EXPECT_EQ(running[2], "COM2 " + BarText(80));
        fleet.Finished(0);
        fleet.Finished(1);
    }
    EXPECT_EQ(Screen(err.str()).size(), 2u) << err.str();  // the report, and the cursor's line
}

}  // namespace
}  // namespace talq::cli
