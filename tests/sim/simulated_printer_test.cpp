#include "sim/simulated_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace talq::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(char head, const std::string& text) {
    Bytes bytes{static_cast<std::uint8_t>(head)};
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0x00);
    return bytes;
}

Bytes Ask(SimulatedPrinter& printer, const Bytes& command, std::int64_t nowMs = 0) {
    printer.Receive(command.data(), command.size(), nowMs);
    return printer.TakeOutput();
}

const Bytes kEnterSetting{0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E};
const Bytes kEndSetting{0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54};

Bytes SwitchQuery(std::uint8_t n) { return {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, n}; }
Bytes SettingQuery(std::uint8_t k) { return {0x1D, 0x28, 0x45, 0x02, 0x00, 0x0C, k}; }
Bytes SetSwitch(std::uint8_t n, const std::string& pins) {
    Bytes bytes{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, n};
    bytes.insert(bytes.end(), pins.begin(), pins.end());
    return bytes;
}
Bytes SwitchReply(const std::string& pins) {
    Bytes bytes{0x37, 0x21};
    bytes.insert(bytes.end(), pins.begin(), pins.end());
    bytes.push_back(0x00);
    return bytes;
}

TEST(SimulatedPrinter, IdentifiesEachModel) {
    const char* names[] = {"KTV-520plus", "KTV-540/542", "KTV-520plusF"};
    const std::uint8_t modelBytes[] = {0x20, 0x2E, 0x20};
    for (int model = 0; model < 3; ++model) {
        SCOPED_TRACE(names[model]);
        SimulatedPrinter printer(model);
        EXPECT_EQ(Ask(printer, {0x1B, 0x40, 0x1B, 0x3D, 0x01, 0x1D, 0x61, 0x00}), Bytes{});
        EXPECT_EQ(printer.InitializeCount(), 1);
        EXPECT_EQ(printer.PeripheralSelection(), 0x01);
        EXPECT_EQ(printer.AutomaticStatusBack(), 0x00);

        EXPECT_EQ(Ask(printer, {0x1D, 0x49, 0x01}), Bytes{modelBytes[model]});
        EXPECT_EQ(Ask(printer, {0x1D, 0x49, 0x42}), Text('_', "KESTRUM"));
        EXPECT_EQ(Ask(printer, {0x1D, 0x49, 0x43}), Text('_', names[model]));
        EXPECT_EQ(Ask(printer, {0x1D, 0x49, 0x41}), Text('_', "Ver 1.05"));
        EXPECT_EQ(ModelFromText(names[model]), model);
        EXPECT_EQ(ModelFromText(std::string(1, static_cast<char>('0' + model))), model);
    }
    EXPECT_EQ(ModelFromText("KTV-999"), -1);
}

TEST(SimulatedPrinter, CommandsSplitAcrossWritesAreAnsweredWhenComplete) {
    SimulatedPrinter printer(0);
    // Print data and an unknown ESC command in front must not upset the framing.
    const Bytes stream = {'H', 'i', 0x1B, 0x21, 0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, 0x02,
                          0x1D, 0x49, 0x01};
    Bytes replies;
    for (std::size_t i = 0; i < stream.size(); ++i) {
        printer.Receive(&stream[i], 1);
        if (i < 10) {
            EXPECT_FALSE(printer.HasOutput()) << "answered early at byte " << i;
        } else if (i == 10) {
            EXPECT_EQ(printer.OutputSize(), 11u);
        }
        for (std::uint8_t r : printer.TakeOutput()) replies.push_back(r);
    }
    Bytes expected = SwitchReply("00000010");
    expected.push_back(0x20);
    EXPECT_EQ(replies, expected);

    // Two commands in one write give two replies in order.
    Bytes both = SwitchQuery(0x09);
    both.insert(both.end(), {0x1D, 0x49, 0x01});
    expected = SwitchReply("00000000");
    expected.push_back(0x20);
    EXPECT_EQ(Ask(printer, both), expected);

    // A test print is counted, even when split.
    const Bytes testPrint{0x1D, 0x28, 0x41, 0x02, 0x00, 0x01, 0x02};
    printer.Receive(testPrint.data(), 4);
    EXPECT_EQ(printer.TestPrintCount(), 0);
    printer.Receive(testPrint.data() + 4, 3);
    EXPECT_EQ(printer.TestPrintCount(), 1);
}

TEST(SimulatedPrinter, SwitchesChangeOnlyInSettingModeAndTwoLeavesAPin) {
    SimulatedPrinter printer(1);
    ASSERT_EQ(printer.SwitchText(1), "00000001");

    // Outside setting mode a write is ignored.
    EXPECT_EQ(Ask(printer, SetSwitch(0x01, "11111111")), Bytes{});
    EXPECT_EQ(printer.SwitchText(1), "00000001");

    const Bytes modeReply = Ask(printer, kEnterSetting);
    EXPECT_EQ(modeReply.size(), 3u);
    EXPECT_TRUE(printer.InSettingMode());

    // Switch 1 template with pins 4 and 5 set: the '2's keep pins 1..3 and 6..8.
    Ask(printer, SetSwitch(0x01, "22211222"));
    EXPECT_EQ(printer.SwitchText(1), "00011001");
    Ask(printer, SetSwitch(0x02, "10000001"));
    EXPECT_EQ(Ask(printer, SwitchQuery(0x02)), SwitchReply("10000001"));
    EXPECT_TRUE(printer.Pin(2, 8));
    EXPECT_TRUE(printer.Pin(2, 1));
    EXPECT_FALSE(printer.Pin(2, 2));
    // A switch the printer does not keep is neither written nor answered.
    Ask(printer, SetSwitch(0x03, "11111111"));
    EXPECT_FALSE(printer.HasSwitch(3));
    EXPECT_EQ(Ask(printer, SwitchQuery(0x03)), Bytes{});

    Ask(printer, kEndSetting);
    EXPECT_FALSE(printer.InSettingMode());
    Ask(printer, SetSwitch(0x02, "00000000"));
    EXPECT_EQ(printer.SwitchText(2), "10000001");
    EXPECT_EQ(printer.SwitchWriteCount(), 2);
}

TEST(SimulatedPrinter, AnswersSerialSettingItems) {
    SimulatedPrinter printer(0);
    auto reply = [](std::uint8_t k, const std::string& value) {
        Bytes bytes{0x37, 0x33, k, 0x1F};
        bytes.insert(bytes.end(), value.begin(), value.end());
        bytes.push_back(0x00);
        return bytes;
    };
    EXPECT_EQ(Ask(printer, SettingQuery(0x01)), reply(0x01, "19200"));
    EXPECT_EQ(Ask(printer, SettingQuery(0x02)), reply(0x02, "0"));
    EXPECT_EQ(Ask(printer, SettingQuery(0x03)), reply(0x03, "0"));
    EXPECT_EQ(Ask(printer, SettingQuery(0x04)), reply(0x04, "8"));
    EXPECT_EQ(Ask(printer, SettingQuery(0x08)), reply(0x08, "A01"));
    EXPECT_EQ(Ask(printer, SettingQuery(0x05)), Bytes{});
    printer.SetSetting(kItemBaudRate, "115200");
    EXPECT_EQ(Ask(printer, SettingQuery(0x01)), reply(0x01, "115200"));
}

TEST(SimulatedPrinter, FaultModes) {
    const Bytes modelQuery{0x1D, 0x49, 0x01};
    const Bytes makerQuery{0x1D, 0x49, 0x42};

    SimulatedPrinter printer(0);
    printer.SetModelByte(0x2E);
    printer.SetMakerName("OTHER CO");
    EXPECT_EQ(Ask(printer, modelQuery), Bytes{0x2E});
    EXPECT_EQ(Ask(printer, makerQuery), Text('_', "OTHER CO"));

    printer.SetNoise({0xAA, 0xBB});
    EXPECT_EQ(Ask(printer, modelQuery), (Bytes{0xAA, 0xBB, 0x2E}));
    EXPECT_EQ(Ask(printer, modelQuery), Bytes{0x2E}) << "noise once by default";
    printer.SetNoise({0xCC}, true);
    Ask(printer, modelQuery);
    EXPECT_EQ(Ask(printer, modelQuery), (Bytes{0xCC, 0x2E}));
    printer.SetNoise({});

    printer.SetReplyCut(3);
    EXPECT_EQ(Ask(printer, SwitchQuery(0x01)), (Bytes{0x37, 0x21, '0'}));
    printer.SetReplyCut(std::nullopt);

    printer.SetSilent(true);
    EXPECT_EQ(Ask(printer, kEnterSetting), Bytes{});
    EXPECT_EQ(Ask(printer, SwitchQuery(0x01)), Bytes{});
    printer.SetSilent(false);

    // Unplugged: queued bytes are lost and nothing is taken meanwhile, not even
    // half a command.
    printer.Receive(modelQuery.data(), 3);
    printer.Receive(modelQuery.data(), 1);
    printer.SetUnplugged(true);
    EXPECT_FALSE(printer.HasOutput());
    EXPECT_EQ(Ask(printer, modelQuery), Bytes{});
    printer.SetUnplugged(false);
    EXPECT_EQ(Ask(printer, modelQuery), Bytes{0x2E});

    // Slow replies reach the wire after the delay, and in order.
    printer.SetReplyDelayMs(250);
    printer.Receive(modelQuery.data(), 3, 1000);
    EXPECT_EQ(printer.NextOutputMs(), 1250);
    EXPECT_EQ(printer.TakeReady(1249), Bytes{});
    printer.SetReplyDelayMs(0);
    printer.Receive(makerQuery.data(), 3, 1100);
    EXPECT_EQ(printer.TakeReady(1250).size(), 1u + 10u);  // 2E, then "_OTHER CO\0"
}

TEST(SimulatedPrinter, RecoversFromAHalfSentCommandAndBoundsWhatIsNotTaken) {
    const Bytes modelQuery{0x1D, 0x49, 0x01};
    const Bytes bogusLength{0x1D, 0x28, 0x45, 0xFF, 0xFF};  // announces 65,535 bytes of data

    SimulatedPrinter printer(0);
    printer.Receive(bogusLength.data(), bogusLength.size(), 1000);
    EXPECT_EQ(Ask(printer, modelQuery, 1000 + kCommandGapMs), Bytes{}) << "still data in time";
    EXPECT_EQ(Ask(printer, modelQuery, 1001 + 2 * kCommandGapMs), Bytes{0x20}) << "after a gap";

    printer.Receive(bogusLength.data(), bogusLength.size(), 5000);
    printer.HostClosed();
    EXPECT_EQ(Ask(printer, modelQuery, 5000), Bytes{0x20}) << "at once after a close";

    // A host that asks and never reads: the queue stops at its bound, whole replies only,
    // and a close drops it.
    for (int i = 0; i < 10000; ++i) printer.Receive(modelQuery.data(), modelQuery.size(), 6000);
    EXPECT_EQ(printer.OutputSize(), kMaxQueuedReplyBytes);
    const Bytes makerQuery{0x1D, 0x49, 0x42};
    printer.Receive(makerQuery.data(), makerQuery.size(), 6000);
    EXPECT_EQ(printer.OutputSize(), kMaxQueuedReplyBytes);
    printer.HostClosed();
    EXPECT_EQ(Ask(printer, makerQuery, 6000), Text('_', "KESTRUM"));
}

// What crosses the line when the host's settings differ from the printer's: Check
// Communication's identification commands, and what the host reads back.
TEST(SimulatedPrinter, AnswersAHostOnAnotherLineWithGarbageOrNothing) {
    const Bytes identify{0x1B, 0x40, 0x1B, 0x3D, 0x01, 0x1D, 0x61, 0x00,
                         0x1D, 0x49, 0x01, 0x1D, 0x49, 0x42};
    const Bytes answer = [] {
        Bytes bytes{0x20};
        const Bytes name = Text('_', "KESTRUM");
        bytes.insert(bytes.end(), name.begin(), name.end());
        return bytes;
    }();
    const auto line = [](int baud, int dataBits, Parity parity, int stopBits = 1,
                         Flow flow = Flow::DtrDsr) {
        return LineSettings{baud, dataBits, parity, stopBits, flow};
    };
    const LineSettings factory = line(19200, 8, Parity::None);
    const struct {
        LineSettings printer, host;
        Bytes taken;  // what the printer's UART passes on
        Bytes read;   // what the host reads back
    } cases[] = {
        {factory, factory, identify, answer},
        // Neither stop bits nor flow control touch the bits of an idle line.
        {factory, line(19200, 8, Parity::None, 2, Flow::XonXoff), identify, answer},
        // Another speed: nothing but garbage reaches the printer, and it stays silent.
        {factory, line(9600, 8, Parity::None),
         {0x9E, 0xE0, 0xFE, 0x9E, 0xE0, 0xE6, 0xF8, 0xE6, 0xE0, 0xFE,
          0xE6, 0xE0, 0x86, 0x98, 0xE6, 0xE0, 0x86, 0x98, 0xFE},
         {}},
        {factory, line(115200, 8, Parity::None), Bytes(10, 0xFF), {}},
        // The same speed, other framing: the parity bit read as bit 7, or flagged bytes dropped.
        {factory, line(19200, 7, Parity::Even),
         {0x1B, 0xC0, 0x1B, 0xBD, 0x81, 0x1D, 0xE1, 0x00, 0x1D, 0xC9, 0x81, 0x1D, 0xC9, 0x42},
         {}},
        {line(19200, 7, Parity::Even), factory, {0x1B, 0x1B, 0x1D, 0x00, 0x1D, 0x1D, 0x42}, {}},
        {line(19200, 8, Parity::Even), factory, {0x40, 0x3D, 0x01, 0x61, 0x49, 0x01, 0x49}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.printer) + " / host " + Describe(c.host));
        SimulatedPrinter printer(0);
        ASSERT_TRUE(printer.SetLine(c.printer));
        printer.SetHostLine(c.host);
        EXPECT_EQ(AtPrinter(identify, c.host, c.printer), c.taken);
        EXPECT_EQ(Ask(printer, identify), c.read);
    }
    // Replies garble the same way: a slower host reads one wrong byte, a faster one a break
    // (a zero byte) and more.
    const Bytes modelByte{0x20};
    EXPECT_EQ(AtHost(modelByte, factory, line(9600, 8, Parity::None)), Bytes{0xF8});
    EXPECT_EQ(AtHost(modelByte, factory, line(38400, 8, Parity::None)), (Bytes{0x00, 0xF8}));
}

TEST(SimulatedPrinter, TheKtv540TakesItsLineFromSwitch9WhenItStarts) {
    SimulatedPrinter printer(1);
    EXPECT_EQ(printer.Line(), (LineSettings{115200, 8, Parity::None, 1, Flow::DtrDsr}));
    ASSERT_TRUE(printer.SetSwitchText(9, "00011110"));  // 9600, 7 bits, even, Xon/Xoff
    EXPECT_EQ(printer.Line().baud, 115200) << "a written switch counts from the next start";
    printer.Restart();
    EXPECT_EQ(printer.Line(), (LineSettings{9600, 7, Parity::Even, 1, Flow::XonXoff}));

    EXPECT_FALSE(printer.SetLine({2400, 8, Parity::None, 1, Flow::DtrDsr}));  // no such pins
    ASSERT_TRUE(printer.SetLine({57600, 8, Parity::Odd, 1, Flow::DtrDsr}));
    EXPECT_EQ(printer.SwitchText(9), "01101000");
    SimulatedPrinter other(0);
    ASSERT_TRUE(other.SetLine({2400, 7, Parity::Odd, 1, Flow::XonXoff}));
    EXPECT_EQ(other.Setting(kItemBaudRate), "2400");
    EXPECT_EQ(other.Setting(kItemParity), "1");
    EXPECT_EQ(other.Setting(kItemDataBits), "7");
}

}  // namespace
}  // namespace talq::sim
