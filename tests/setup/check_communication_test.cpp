#include "setup/check_communication.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/com_port.h"
#include "support/golden.h"
#include "support/recording_sink.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace talq::setup {
namespace {

using status::MessageIcon;
using test::Join;
using test::Lines;
using test::Repeat;

link::PortSettings Com1() { return test::ComSettings("COM1"); }

const auto kDiscardSilence = Repeat(5, Lines(R"(
    pause 50
    read 1 -> 0)"));
const auto kResetAndAskModel = Lines(R"(
    write 1B 40
    write 1B 3D 01
    write 1D 61 00
    write 1D 49 01)");
const auto kModelByteSpace = Lines(R"(
    pause 100
    read 1 -> 1: 20)");
const auto kMakerNameSerial = Lines(R"(
    write 1D 49 42
    pause 100
    read 1 -> 1: 5F
    read 1 -> 1: 4B
    read 1 -> 1: 45
    read 1 -> 1: 53
    read 1 -> 1: 54
    read 1 -> 1: 52
    read 1 -> 1: 55
    read 1 -> 1: 4D
    read 1 -> 1: 00)");

struct CheckFixture : ::testing::Test {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    link::PrinterPort port;
    test::RecordingSink sink;

    std::shared_ptr<test::SimulatedPrinterDevice> AddPrinter(int model,
                                                             const std::string& path = "COM1") {
        // At the speed Com1() talks at, whatever the model's own.
        auto device = std::make_shared<test::SimulatedPrinterDevice>(model, 19200);
        os.AddDevice(path, device);
        return device;
    }
    CheckResult Check(int model, link::PortKind kind = link::Serial,
                      link::PortSettings settings = Com1()) {
        return CheckCommunication(port, settings, kind, model, sink);
    }
};

TEST_F(CheckFixture, SerialPrinterIsIdentifiedAndStaysOpen) {
    AddPrinter(0);
    EXPECT_EQ(Check(0), CheckResult::Connected);
    EXPECT_EQ(os.Exchange(), Join({kDiscardSilence, kResetAndAskModel, kModelByteSpace,
                                   kMakerNameSerial}));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Printer is connected.");
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(os.IsOpen("COM1"));
    EXPECT_EQ(os.TimeoutsOf("COM1").readTotalConstantMs, 10u);
    EXPECT_EQ(os.LineSettingsOf("COM1").baudRate, 19200);
}

TEST_F(CheckFixture, ConfigureAndOpenFailuresAreReportedWithoutTouchingAnyDevice) {
    auto settings = Com1();
    settings.portName = "com1";
    EXPECT_EQ(Check(0, link::Serial, settings), CheckResult::ConfigureFailed);
    EXPECT_EQ(sink.messages.back().text, "Port Configuration Set Error!");
    EXPECT_EQ(sink.messages.back().icon, MessageIcon::None);

    EXPECT_EQ(Check(0), CheckResult::OpenFailed);  // nothing at COM1
    EXPECT_EQ(sink.messages.back().text, "Can't open port and Printer is disconnected");
    EXPECT_EQ(sink.messages.back().icon, MessageIcon::Exclamation);

    AddPrinter(0);
    os.RefuseLineSettings("COM1");
    EXPECT_EQ(Check(0), CheckResult::OpenFailed);
    EXPECT_FALSE(os.IsOpen("COM1"));  // a half-opened device is not kept
    EXPECT_TRUE(os.Exchange().empty());
}

TEST_F(CheckFixture, WrongModelByteRetriesTenTimesInByteModeOnly) {
    AddPrinter(1);  // answers 0x2E; "KTV-520plus" expects 0x20
    EXPECT_EQ(Check(0), CheckResult::WrongDeviceId);
    const auto retry = Repeat(10, Lines(R"(
        pause 100
        read 1 -> 0)"));
    EXPECT_EQ(os.Exchange(), Join({kDiscardSilence, kResetAndAskModel,
                                   Lines("pause 100\nread 1 -> 1: 2E"), retry}));
    EXPECT_EQ(sink.messages.back().text, "The connected printer has different device ID.");
    EXPECT_EQ(sink.messages.back().icon, MessageIcon::Information);
    EXPECT_FALSE(port.HasConnection());
    EXPECT_FALSE(os.IsOpen("COM1"));
}

TEST_F(CheckFixture, MakerNameMustBeExactlyKestrum) {
    auto printer = AddPrinter(0);
    for (const char* name : {"KESTRUMS", "KESTRU", "kestrum"}) {
        printer->Printer().SetMakerName(name);
        EXPECT_EQ(Check(0), CheckResult::WrongMaker) << name;
        EXPECT_EQ(sink.messages.back().text, "This printer don't match our company name.");
        EXPECT_EQ(sink.messages.back().icon, MessageIcon::Exclamation);
        EXPECT_FALSE(os.IsOpen("COM1"));
    }
    // "_" is dropped wherever it stands over serial.
    printer->Printer().SetMakerName("KEST_RUM");
    EXPECT_EQ(Check(0), CheckResult::Connected);
}

TEST_F(CheckFixture, ShortResetWriteIsAPortError) {
    AddPrinter(0);
    os.SetWriteLimit("COM1", 1);
    EXPECT_EQ(Check(0), CheckResult::PortError);
    EXPECT_EQ(sink.messages.back().text, "Port error! Check printer's port, please.");
    EXPECT_FALSE(os.IsOpen("COM1"));
}

TEST_F(CheckFixture, PendingInputIsDiscardedAndANeverSilentDeviceIsGivenUpOn) {
    auto noisy = std::make_shared<test::ScriptedDevice>();
    os.AddDevice("COM1", noisy);
    noisy->Stream(0x41, 0, 30);  // never falls silent
    const auto start = os.NowMs();
    EXPECT_EQ(Check(0), CheckResult::WrongDeviceId);
    const auto lines = os.Exchange();
    const auto discardReads =
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("read 1", 0) == 0;
        }) - 11;  // less the model-ID read and its ten retries
    EXPECT_EQ(discardReads, kMaxDiscardReads);
    EXPECT_LT(os.NowMs() - start, 6000);
}

TEST_F(CheckFixture, SilentSerialPrinterEndsInTheDeviceIdMessage) {
    AddPrinter(0)->Printer().SetSilent(true);
    EXPECT_EQ(Check(0), CheckResult::WrongDeviceId);
    EXPECT_EQ(sink.messages.back().text, "The connected printer has different device ID.");
}


// Block-mode reads, as over USB: no discarding, one block per reply.
TEST_F(CheckFixture, BlockModeIdentifiesEachModel) {
    const char* const names[] = {"KTV-520plus", "KTV-540/542", "KTV-520plusF"};
    for (int model = 0; model < 3; ++model) {
        os.RemoveDevice("COM1");
        AddPrinter(model);
        os.ClearTranscript();
        EXPECT_EQ(Check(model, link::Usb), CheckResult::Connected) << names[model];
        const std::string modelByte = model == 1 ? "2E" : "20";
        EXPECT_EQ(os.Exchange(), Join({kResetAndAskModel, Lines(R"(
            pause 200
            read 16 -> 1: )" + modelByte + R"(
            write 1D 49 42
            pause 200
            read 16 -> 9: 5F 4B 45 53 54 52 55 4D 00)")}))
            << names[model];
        port.Close();
    }
}

TEST_F(CheckFixture, BlockModeWrongModelByteFailsAtOnce) {
    AddPrinter(1);
    EXPECT_EQ(Check(0, link::Usb), CheckResult::WrongDeviceId);
    EXPECT_EQ(os.Exchange(), Join({kResetAndAskModel, Lines("pause 200\nread 16 -> 1: 2E")}));
}

TEST_F(CheckFixture, BlockModeMakerNameReadIsRepeatedWhenEmptyExceptOnThe540) {
    for (int model : {0, 1, 2}) {
        os.RemoveDevice("COM1");
        auto peer = std::make_shared<test::ScriptedDevice>();
        os.AddDevice("COM1", peer);
        // After the open's purge, before the model-ID read.
        peer->Arrive(os.NowMs() + 1, {static_cast<std::uint8_t>(model == 1 ? 0x2E : 0x20)});
        os.ClearTranscript();
        EXPECT_EQ(Check(model, link::Usb), CheckResult::WrongMaker);
        const auto lines = os.Exchange();
        const auto emptyReads = std::count(lines.begin(), lines.end(), "read 16 -> 0");
        EXPECT_EQ(emptyReads, model == 1 ? 1 : 2) << model;
    }
}

TEST_F(CheckFixture, BlockModeMakerNameDropsTheFirstByteWhateverItIs) {
    auto peer = std::make_shared<test::ScriptedDevice>();
    os.AddDevice("COM1", peer);
    // The model byte before the first block read, the name before the second.
    peer->Arrive(os.NowMs() + 1, {0x20});
    peer->Arrive(os.NowMs() + 300, {'X', 'K', 'E', 'S', 'T', 'R', 'U', 'M', 0});
    EXPECT_EQ(Check(0, link::Usb), CheckResult::Connected);
}

}  // namespace
}  // namespace talq::setup
