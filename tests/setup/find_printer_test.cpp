// The search of one port in virtual time: the exact exchanges, setting after setting, and each
// way a search ends.
#include "setup/find_printer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "setup/quick_look.h"
#include "support/golden.h"
#include "support/scoped_env.h"
#include "support/scoped_platform.h"
#include "support/temp_dir.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace talq::setup {
namespace {

using test::Join;
using test::Lines;
using test::Repeat;

const auto kDiscardSilence = Repeat(5, Lines("pause 50\nread 1 -> 0"));
const auto kResetAndAskModel = Lines(R"(
    write 1B 40
    write 1B 3D 01
    write 1D 61 00
    write 1D 49 01)");
const auto kDrain = Repeat(5, Lines("pause 100\nread 1 -> 0"));

// Each byte of a text reply read alone, as byte mode reads it.
std::vector<std::string> ByteReads(const std::string& hexBytes) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < hexBytes.size(); at += 3) {
        lines.push_back("read 1 -> 1: " + hexBytes.substr(at, 2));
    }
    return lines;
}

struct FindFixture : ::testing::Test {
    test::TempDir state{"talq-state"};
    test::ScopedEnv env{"XDG_STATE_HOME", state.path().string()};
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    link::PrinterPort port;
    QueuePorts queues;
    const std::string device = platform::DevicePathForPort("COM1");

    std::shared_ptr<test::SimulatedPrinterDevice> AddPrinter(int model, sim::LineSettings line) {
        auto printer = std::make_shared<test::SimulatedPrinterDevice>(model);
        EXPECT_TRUE(printer->Printer().SetLine(line));
        os.AddDevice("COM1", printer);
        return printer;
    }
    FindRequest Request(int model, const FixedLine& fixed = {}) {
        FindRequest request;
        request.portName = "COM1";
        request.model = model;
        request.lines = SearchOrder(model, fixed);
        return request;
    }
    std::vector<std::string> OpenAt(const std::string& settings) {
        return Lines("open " + device + "\nsettings " + settings +
                     "\ntimeouts 10 10 10 0 0\npurge");
    }
    // A quick look at `settings`: one read of pending input, the questions, and the window
    // read whole (`answer` what it brings).
    std::vector<std::string> LookAt(const std::string& settings, const std::string& answer = "0") {
        return Join({OpenAt(settings), Lines("pause 50\nread 1 -> 0"), kResetAndAskModel,
                     Lines("read 29 -> " + answer + "\npurge\nclose")});
    }
};

TEST_F(FindFixture, WalksTheWrongSettingsToTheRightOneAndLeavesThePrinterOpen) {
    AddPrinter(0, {9600, 8, sim::Parity::Even, 1, sim::Flow::DtrDsr});
    os.spooler.queues.push_back({"till", "serial:" + device, false});
    FixedLine fixed;
    fixed.baudRate = 9600;
    FindRequest request = Request(0, fixed);
    std::vector<std::string> tried;
    request.onTry = [&](int n, int planned, const platform::LineSettings* line) {
        tried.push_back(std::to_string(n) + "/" + std::to_string(planned) + " " +
                        std::to_string(line->dataBits) + "," + std::to_string(line->parity));
    };
    const auto start = os.NowMs();
    const FindResult found = FindPrinter(port, queues, request);

    ASSERT_EQ(found.outcome, FindOutcome::Found);
    EXPECT_EQ(found.model, 0);
    EXPECT_EQ(found.info.modelName, "KTV-520plus");
    EXPECT_EQ(found.info.firmwareVersion, "Ver A01");
    ASSERT_TRUE(found.line);
    EXPECT_EQ(found.line->parity, 2);
    // Three looks, and Check Communication where the third saw the model-ID byte.
    EXPECT_EQ(tried, (std::vector<std::string>{"1/6 8,0", "2/6 7,2", "3/6 8,2", "4/6 8,2"}));
    // 8 None and 7 Even stay silent for their window; at 8 Even the printer answers at once.
    EXPECT_EQ(
        os.Transcript(),
        Join({Lines("open " + device + "\nclose"), LookAt("9600 8 0 0 0"), LookAt("9600 7 0 2 0"),
              LookAt("9600 8 0 2 0", "1: 20"), OpenAt("9600 8 0 2 0"), kDiscardSilence,
              kResetAndAskModel, Lines("pause 100\nread 1 -> 1: 20\nwrite 1D 49 42\npause 100"),
              ByteReads("5F 4B 45 53 54 52 55 4D 00"),
              // the texts, as Get Status reads them
              kDrain, Lines("write 1D 49 41\npause 100"),
              ByteReads("5F 56 65 72 20 31 2E 30 35 00"), kDrain,
              Lines("write 1D 28 45 02 00 0C 08\npause 100"), ByteReads("37 33 08 1F 41 30 31 00"),
              Lines("read 1 -> 0"), Lines("write 1D 49 43\npause 100"),
              ByteReads("5F 4B 54 56 2D 35 32 30 70 6C 75 73 00"), kDrain}));
    EXPECT_GE(os.NowMs() - start, 2 * SilentTryMs(link::Serial));
    EXPECT_TRUE(os.IsOpen("COM1"));
    // The till's queue is held until the caller gives it back.
    EXPECT_EQ(os.spooler.Find("till")->portText, "file:/dev/null");
    port.Close();
    RestoreSpoolerQueues(queues);
    EXPECT_EQ(os.spooler.Find("till")->portText, "serial:" + device);
}

TEST_F(FindFixture, EachWayASearchEnds) {
    // The KTV-540/542 answers with its own byte, whatever model was asked for, and the
    // exchange after the look asks it as what it is: looks at 19200, 115200, 9600 and 38400,
    // then one exchange.
    AddPrinter(1, {38400, 8, sim::Parity::None, 1, sim::Flow::DtrDsr});
    FindResult result = FindPrinter(port, queues, Request(0));
    EXPECT_EQ(result.outcome, FindOutcome::Found);
    EXPECT_EQ(result.model, 1);
    EXPECT_EQ(result.tries, 5);
    EXPECT_EQ(result.settingsTried, 4);
    EXPECT_EQ(result.line->baudRate, 38400);
    port.Close();

    // The name tells the KTV-520plusF from the KTV-520plus; noise before the model-ID byte
    // does not hide it from the look. Thorough, every setting gets the whole exchange.
    AddPrinter(2, {9600, 8, sim::Parity::None, 1, sim::Flow::DtrDsr})
        ->Printer()
        .SetNoise({0x7F, 0x41, 0x0D});
    result = FindPrinter(port, queues, Request(-1));
    EXPECT_EQ(result.model, 2);
    EXPECT_EQ(result.tries, 4);  // 19200, 115200, 9600, and the exchange
    port.Close();
    FindRequest thorough = Request(-1);
    thorough.thorough = true;
    result = FindPrinter(port, queues, thorough);
    EXPECT_EQ(result.model, 2);
    EXPECT_EQ(result.tries, 3);
    port.Close();

    // A printer that keeps CTS low: the stalled write leads to Xon/Xoff at the same setting,
    // and the rest of the search goes at Xon/Xoff without stalling again.
    AddPrinter(0, {9600, 8, sim::Parity::None, 1, sim::Flow::XonXoff});
    os.HoldClearToSendLow("COM1");
    auto start = os.NowMs();
    result = FindPrinter(port, queues, Request(0));
    EXPECT_EQ(result.outcome, FindOutcome::Found);
    EXPECT_EQ(result.tries, 4);  // 19200 twice, 9600, and the exchange
    EXPECT_EQ(result.line->flowControl, 1);
    EXPECT_LT(os.NowMs() - start, 2 * platform::kWriteStallMs);
    port.Close();
    os.HoldClearToSendLow("COM1", false);

    // A printer slower over its reset than the look's window is not seen; thorough, it is.
    AddPrinter(0, {19200, 8, sim::Parity::None, 1, sim::Flow::DtrDsr})
        ->Printer()
        .SetResetTimeMs(kAnswerWindowMs + 200);
    EXPECT_EQ(FindPrinter(port, queues, Request(0)).outcome, FindOutcome::NothingAnswered);
    thorough = Request(0);
    thorough.thorough = true;
    EXPECT_EQ(FindPrinter(port, queues, thorough).outcome, FindOutcome::Found);
    port.Close();

    // Settings the system refuses cost nothing: one and a half stop bits never open.
    FixedLine fixed;
    fixed.stopBits = 1;
    start = os.NowMs();
    result = FindPrinter(port, queues, Request(0, fixed));
    EXPECT_EQ(result.outcome, FindOutcome::NothingAnswered);
    EXPECT_EQ(result.tries, 0);
    EXPECT_EQ(result.refused, 42);
    EXPECT_EQ(os.NowMs(), start);

    // A stop asked for during a try ends the search after it.
    AddPrinter(0, {2400, 7, sim::Parity::None, 1, sim::Flow::DtrDsr});
    FindRequest stoppable = Request(0);
    int asked = 0;
    stoppable.stopRequested = [&] { return ++asked > 2; };
    start = os.NowMs();
    result = FindPrinter(port, queues, stoppable);
    EXPECT_EQ(result.outcome, FindOutcome::Interrupted);
    EXPECT_EQ(result.tries, 2);
    EXPECT_EQ(os.NowMs() - start, 2 * SilentTryMs(link::Serial));
    EXPECT_FALSE(os.IsOpen("COM1"));

    // Another program holds the port, or it is absent: nothing sent, no queue touched.
    os.spooler.queues.push_back({"till", "serial:" + device, false});
    const auto held = os.OpenDevice(device);
    os.ClearTranscript();
    EXPECT_EQ(FindPrinter(port, queues, Request(0)).outcome, FindOutcome::CannotOpen);
    os.CloseDevice(held);
    os.RemoveDevice("COM1");
    EXPECT_EQ(FindPrinter(port, queues, Request(0)).outcome, FindOutcome::CannotOpen);
    EXPECT_EQ(os.Transcript(),
              Lines("open " + device + " failed\nclose\nopen " + device + " failed"));
    EXPECT_TRUE(queues.empty());

    // The kernel's console is not even opened.
    AddPrinter(0, {19200, 8, sim::Parity::None, 1, sim::Flow::DtrDsr});
    test::TempDir sysfs{"talq-sysfs"};
    std::filesystem::create_directories(sysfs.path() / "class/tty/console");
    std::ofstream(sysfs.path() / "class/tty/console/active")
        << "tty0 " << std::filesystem::path(device).filename().string() << "\n";
    test::ScopedEnv sysfsRoot{"TALQ_SYSFS_ROOT", sysfs.path().string()};
    os.ClearTranscript();
    result = FindPrinter(port, queues, Request(0));
    EXPECT_EQ(result.outcome, FindOutcome::CannotOpen);
    EXPECT_TRUE(result.systemConsole);
    EXPECT_TRUE(os.Transcript().empty());
}

}  // namespace
}  // namespace talq::setup
