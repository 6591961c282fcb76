#include "status/status_exchanges.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/commands.h"

#include "status/exchange_transcripts.h"
#include "support/com_port.h"
#include "support/recording_sink.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace talq::status {
namespace {

using test::Join;
using test::kDrain;
using test::Lines;
using test::TextByteReads;

struct StatusFixture : ::testing::Test {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    std::shared_ptr<test::SimulatedPrinterDevice> device;
    link::PrinterPort port;
    test::RecordingSink sink;
    PrinterStatus status{};
    PrinterInfo info;

    sim::SimulatedPrinter& Printer() { return device->Printer(); }

    // An identified connection, as Check Communication leaves it.
    StatusConnection Connect(int model, link::PortKind readsAs = link::Serial) {
        // At the speed OpenCom talks at, whatever the model's own.
        return ConnectTo(std::make_shared<test::SimulatedPrinterDevice>(model, 19200), "COM1",
                         readsAs);
    }
    StatusConnection ConnectTo(std::shared_ptr<test::SimulatedPrinterDevice> printer,
                               const std::string& portName, link::PortKind readsAs) {
        device = std::move(printer);
        os.AddDevice(portName, device);
        EXPECT_TRUE(test::OpenCom(port, portName));
        os.ClearTranscript();
        return {port, readsAs, device->Printer().Model()};
    }
};

// A printer that stops answering from the moment the host asks for one
// serial-setting item: it falls silent, or goes from the wire altogether.
class PrinterStoppingAtItem : public test::SimulatedPrinterDevice {
  public:
    PrinterStoppingAtItem(int model, std::uint8_t item, bool hangUp)
        : SimulatedPrinterDevice(model), query_(protocol::SerialSettingQuery(item)),
          hangUp_(hangUp) {}

    void Write(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) override {
        if (std::search(data, data + size, query_.begin(), query_.end()) != data + size) {
            if (hangUp_) Printer().SetUnplugged(true);
            Printer().SetSilent(true);
        }
        SimulatedPrinterDevice::Write(data, size, nowMs);
    }

  private:
    protocol::Command<7> query_;
    bool hangUp_;
};

std::vector<std::string> SwitchQueryByteMode(const char* n, const char* pins) {
    return Lines(std::string("write 1D 28 45 02 00 04 ") + n +
                 "\npause 100\nread 1 -> 1: 37\nread 10 -> 10: " + pins);
}

TEST_F(StatusFixture, FirstGetStatusOfA540OverSerialReadsTextsSwitchesAndDecodesSerial) {
    const auto connection = Connect(1);
    Printer().SetSwitchText(2, "10000001");
    Printer().SetSwitchText(9, "10011110");  // 115200, 7 bits, even, Xon/Xoff
    const std::string firmware = Printer().FirmwareVersion();

    EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Success);

    const auto identify = Join({
        Lines("write 1B 40\nwrite 1B 3D 01"), kDrain,
        Lines("write 1D 49 41\npause 100"), TextByteReads(firmware), kDrain,
        Lines("write 1D 49 43\npause 100"), TextByteReads("KTV-540/542"), kDrain,
        Lines("write 1D 61 00"), kDrain,
        Lines("write 1D 49 01\npause 100\nread 1 -> 1: 2E"),
    });
    const auto exchange = os.Exchange();
    ASSERT_GE(exchange.size(), identify.size());
    EXPECT_EQ(std::vector<std::string>(exchange.begin(), exchange.begin() + identify.size()),
              identify);
    const std::vector<std::string> rest(exchange.begin() + identify.size(), exchange.end());
    const std::string swId = rest[3].substr(15, 2);  // the identifier byte the printer sends
    const auto pins = [&](const char* eight) { return swId + " " + eight + " 00"; };
    EXPECT_EQ(rest, Join({
        SwitchQueryByteMode("02", pins("31 30 30 30 30 30 30 31").c_str()),
        SwitchQueryByteMode("08", pins("30 30 30 30 30 30 30 30").c_str()),
        SwitchQueryByteMode("09", pins("31 30 30 31 31 31 31 30").c_str()),
        SwitchQueryByteMode("01", pins("30 30 30 30 30 30 30 31").c_str()),
        SwitchQueryByteMode("0A", pins("30 30 30 30 30 30 30 30").c_str()),
        SwitchQueryByteMode("0B", pins("30 30 30 30 30 30 30 30").c_str()),
        kDrain, Lines("write 1B 3D 01"),
    }));

    EXPECT_EQ(info.firmwareVersion, firmware);  // kept whole on this model
    EXPECT_EQ(info.modelName, "KTV-540/542");
    EXPECT_EQ(status.switches[1].pins[1], 1);
    EXPECT_EQ(status.switches[1].pins[8], 1);
    EXPECT_EQ(status.switches[1].pins[2], 0);
    EXPECT_EQ(status.switches[0].pins[1], 1);
    EXPECT_EQ(info.baudIndex, 4);
    EXPECT_EQ(info.dataBitsIndex, 0);
    EXPECT_EQ(info.parityIndex, 2);
    EXPECT_EQ(info.flowControlIndex, 1);
    ASSERT_FALSE(sink.messages.empty());
    EXPECT_EQ(sink.messages.back().text, "Success to get status of printer.");
    EXPECT_EQ(sink.messages.back().icon, MessageIcon::Information);
    // One step per text byte before the run; 9 per switch, 4 for the settings, 1 at the end.
    EXPECT_EQ(sink.StepsOfRun(), 6 * 9 + 4 + 1);
    EXPECT_EQ(sink.progress.back(), "set 100");
}

TEST_F(StatusFixture, FirstGetStatusOfA520InBlockModeAsksForTheSerialItems) {
    const auto connection = Connect(0, link::Usb);
    Printer().SetFirmwareVersion("Ver 1.05 beta");
    Printer().SetSetting(0x08, "X7");

    EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Success);
    const auto exchange = os.Exchange();
    const auto block = [](const char* write, const std::string& got) {
        return Lines(std::string("write ") + write + "\npause 200\nread 16 -> " + got);
    };
    const auto at = [&](std::size_t i) { return exchange.at(i); };
    EXPECT_EQ(std::vector<std::string>(exchange.begin(), exchange.begin() + 2),
              Lines("write 1B 40\nwrite 1B 3D 01"));
    EXPECT_EQ(std::vector<std::string>(exchange.begin() + 2, exchange.begin() + 5),
              block("1D 49 41", "15: 5F 56 65 72 20 31 2E 30 35 20 62 65 74 61 00"));
    EXPECT_EQ(at(5), "write 1D 28 45 02 00 0C 08");
    EXPECT_EQ(at(8), "write 1D 49 43");
    EXPECT_EQ(at(11), "write 1D 61 00");  // no drain in block mode
    EXPECT_EQ(at(12), "write 1D 49 01");
    EXPECT_EQ(at(14), "read 16 -> 1: 20");
    EXPECT_EQ(at(15), "write 1D 28 45 02 00 04 02");
    // Six switches of three lines, then the four serial items.
    EXPECT_EQ(at(33), "write 1D 28 45 02 00 0C 01");
    EXPECT_EQ(at(42), "write 1D 28 45 02 00 0C 04");
    EXPECT_EQ(exchange.back(), "write 1B 3D 01");
    EXPECT_EQ(exchange.size(), 46u);

    EXPECT_EQ(info.firmwareVersion, "Ver X7");
    EXPECT_EQ(info.modelName, "KTV-520plus");
    EXPECT_EQ(info.baudIndex, 3);  // "19200"
    EXPECT_EQ(info.dataBitsIndex, 1);
    EXPECT_EQ(info.parityIndex, 0);
    EXPECT_EQ(info.flowControlIndex, 0);
    EXPECT_EQ(status.switches[1].pins[2], 1);
    EXPECT_EQ(sink.StepsOfRun(), 6 * 8 + 7 + 1);
}

TEST_F(StatusFixture, SecondGetStatusOnlyResetsAndChecksTheModelByte) {
    const auto connection = Connect(0);
    ASSERT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Success);
    os.ClearTranscript();
    ASSERT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Success);
    const auto exchange = os.Exchange();
    const auto head = Join({Lines("write 1B 40\nwrite 1B 3D 01\nwrite 1D 61 00"), kDrain,
                            Lines("write 1D 49 01\npause 100\nread 1 -> 1: 20\n"
                                  "write 1D 28 45 02 00 04 02")});
    EXPECT_EQ(std::vector<std::string>(exchange.begin(), exchange.begin() + head.size()), head);
}

TEST_F(StatusFixture, AFirmwareWithoutSpaceBecomesTheSuffixAlone) {
    const auto connection = Connect(2);
    Printer().SetFirmwareVersion("V105");
    Printer().SetSetting(0x08, "F01");
    ASSERT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Success);
    EXPECT_EQ(info.firmwareVersion, "F01");
}

TEST_F(StatusFixture, ForeignModelNameFailsWithTwoMessagesAndLeavesTheRecord) {
    const auto connection = Connect(0);
    Printer().SetModelName("XP-58");
    status.switches[3].pins[4] = 1;
    const PrinterStatus before = status;
    EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::IdentifyFailed);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[0].text, "This printer don't match our printer name.");
    EXPECT_EQ(sink.messages[1].text, "Don't use this program for other company product.");
    EXPECT_EQ(status, before);
}

TEST_F(StatusFixture, WrongModelByteRetriesOverSerialAndNotInBlockMode) {
    auto connection = Connect(1);
    connection.model = 0;
    EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::IdentifyFailed);
    EXPECT_EQ(sink.messages.back().text, "Can't connect printer. Please restart printer.");
    EXPECT_EQ(sink.messages.back().icon, MessageIcon::Information);
    EXPECT_EQ(sink.progress.back(), "set 0");
    const auto serialLines = os.Exchange();
    EXPECT_EQ(std::vector<std::string>(serialLines.end() - 2, serialLines.end()),
              Lines("pause 100\nread 1 -> 0"));

    os.ClearTranscript();
    connection.portKind = link::Usb;
    EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::IdentifyFailed);
    EXPECT_EQ(os.Exchange().back(), "read 16 -> 1: 2E");
}

TEST_F(StatusFixture, GarbledSwitchReplyFailsTheRunAndKeepsTheRecord) {
    const auto connection = Connect(0);
    ASSERT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Success);
    status.switches[2].pins[0] = 7;
    const PrinterStatus before = status;

    Printer().SetReplyCut(6);  // every reply loses its tail
    EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Failed);
    EXPECT_EQ(status, before);
    EXPECT_EQ(sink.messages.back().icon, MessageIcon::Exclamation);
    EXPECT_NE(sink.messages.back().text.find("memory switch 2"), std::string::npos);
    EXPECT_EQ(os.Exchange().back(), "write 1B 3D 01");
}

TEST_F(StatusFixture, AnUnansweredSerialSettingQueryFailsTheRunAndKeepsRecordAndInfo) {
    struct Case {
        const char* port;
        int model;
        std::uint8_t item;
        link::PortKind readsAs;
        bool hangUp;
    };
    const Case cases[] = {
        {"COM1", 0, protocol::kItemBaudRate, link::Serial, false},
        {"COM2", 2, protocol::kItemParity, link::Usb, true},
        {"COM3", 0, protocol::kItemFlowControl, link::Serial, true},
        {"COM4", 2, protocol::kItemDataBits, link::Usb, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        const auto connection = ConnectTo(
            std::make_shared<PrinterStoppingAtItem>(c.model, c.item, c.hangUp), c.port, c.readsAs);
        status = PrinterStatus{};
        status.switches[3].pins[2] = 1;
        info = PrinterInfo{"Ver 1.05", "KTV-520plus", 5, 0, 1, 2};  // as after an earlier run
        const PrinterStatus statusBefore = status;
        const PrinterInfo infoBefore = info;
        sink = test::RecordingSink{};

        EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Failed);
        EXPECT_EQ(status, statusBefore);
        EXPECT_EQ(info, infoBefore);
        EXPECT_EQ(sink.messages, (std::vector<test::RecordingSink::Message>{
                                     {kSerialSettingReplyFailedMessage, MessageIcon::Exclamation}}));
        EXPECT_EQ(sink.progress.back(), "set 0");
        EXPECT_EQ(os.Exchange().back().rfind("write 1B 3D 01", 0), 0u);  // moves 0 after a hang-up
    }
}

TEST_F(StatusFixture, SerialSettingValuesOutsideTheListsAreTakenAsTheyCome) {
    const auto connection = Connect(0);
    Printer().SetSetting(protocol::kItemBaudRate, "1200");
    Printer().SetSetting(protocol::kItemParity, "9");
    Printer().SetSetting(protocol::kItemFlowControl, "");
    Printer().SetSetting(protocol::kItemDataBits, "6");
    info = PrinterInfo{"Ver 1.05", "KTV-520plus", 5, 0, 1, 2};

    EXPECT_EQ(GetStatus(connection, status, info, sink), ExchangeResult::Success);
    EXPECT_EQ(info.baudIndex, 5);  // no list entry: kept
    EXPECT_EQ(info.dataBitsIndex, 0);
    EXPECT_EQ(info.parityIndex, 9);  // selects nothing in the list
    EXPECT_EQ(info.flowControlIndex, -48);  // an empty value still answers
}

TEST_F(StatusFixture, SetStatusWithAllPinsClearSendsTheTemplates) {
    const auto connection = Connect(0);
    info.firmwareVersion = "known";  // as after a first Get Status
    EXPECT_EQ(SetStatus(connection, status, info, sink), ExchangeResult::Success);
    const auto exchange = os.Exchange();
    const auto tail = Lines(R"(
        write 1D 28 45 03 00 01 49 4E
        pause 100
        read 3 -> 3: 37 MODE 00
        write 1D 28 45 0A 00 03 01 32 32 32 30 30 32 32 32
        write 1D 28 45 0A 00 03 02 30 30 30 30 30 30 30 30
        write 1D 28 45 0A 00 03 08 30 30 30 30 30 30 30 30
        write 1D 28 45 0A 00 03 09 30 30 30 30 30 30 30 30
        write 1D 28 45 0A 00 03 0A 30 30 30 30 30 30 30 30
        write 1D 28 45 0A 00 03 0B 30 30 30 30 30 30 30 30
        write 1D 28 45 04 00 02 4F 55 54
        pause 100
        write 1B 3D 01
        pause 1000
        pause 1000)");
    ASSERT_GE(exchange.size(), tail.size());
    std::vector<std::string> got(exchange.end() - static_cast<long>(tail.size()), exchange.end());
    got[2].replace(got[2].find(' ', 13) + 1, 2, "MODE");
    EXPECT_EQ(got, tail);
    EXPECT_EQ(sink.messages.back().text, "Success to set status of printer");
    EXPECT_EQ(sink.StepsOfRun(), 1 + 6 + 4);
    EXPECT_EQ(Printer().SwitchText(1), "00000001");  // pin 1 left as the printer had it
    EXPECT_FALSE(Printer().InSettingMode());
}

TEST_F(StatusFixture, SetStatusWithAllPinsSetWarnsForSwitchesEightTenElevenAndStillSends) {
    const auto connection = Connect(0);
    info.firmwareVersion = "known";
    for (auto& memorySwitch : status.switches) {
        for (int p = 1; p <= 8; ++p) memorySwitch.pins[static_cast<std::size_t>(p)] = 1;
    }
    EXPECT_EQ(SetStatus(connection, status, info, sink), ExchangeResult::Success);
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages[0].text, "The Memory Switch 8 doesn't set up!!");
    EXPECT_EQ(sink.messages[1].text, "The Memory Switch 10 doesn't set up!!");
    EXPECT_EQ(sink.messages[2].text, "The Memory Switch 11 doesn't set up!!");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sink.messages[static_cast<std::size_t>(i)].icon,
                                          MessageIcon::Exclamation);
    EXPECT_EQ(Printer().SwitchText(1), "00011001");
    for (int n : {2, 8, 9, 10, 11}) EXPECT_EQ(Printer().SwitchText(n), "11111111") << n;
}

TEST_F(StatusFixture, SetStatusOnAPrinterThatStopsTakingCommandsIsNoSuccess) {
    const auto connection = Connect(0);
    info.firmwareVersion = "known";
    ASSERT_EQ(SetStatus(connection, status, info, sink), ExchangeResult::Success);
    os.ClearTranscript();
    sink.messages.clear();

    os.SetWriteLimit("COM1", 8);  // the identification goes through; switch commands don't
    EXPECT_EQ(SetStatus(connection, status, info, sink), ExchangeResult::Failed);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, kSetStatusWriteFailedMessage);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Exclamation);
    const auto exchange = os.Exchange();
    EXPECT_EQ(exchange.back(), "write 1D 28 45 04 00 02 4F 55 54 -> 8");  // best effort
    EXPECT_EQ(exchange[exchange.size() - 2],
              "write 1D 28 45 0A 00 03 01 32 32 32 30 30 32 32 32 -> 8");
}

}  // namespace
}  // namespace talq::status
