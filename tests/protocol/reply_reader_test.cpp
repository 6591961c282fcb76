#include "protocol/reply_reader.h"

#include "protocol/commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/com_port.h"
#include "support/golden.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace talq::protocol {
namespace {

using test::Lines;

// A port whose peer sends scripted bytes; reads follow the serial time-outs.
struct ReaderFixture : ::testing::Test {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    std::shared_ptr<test::ScriptedDevice> peer = std::make_shared<test::ScriptedDevice>();
    link::PrinterPort port;
    ReplyBuffer buffer{};

    void SetUp() override {
        os.AddDevice("COM1", peer);
        ASSERT_TRUE(test::OpenCom(port, "COM1", 9600));
        os.ClearTranscript();
    }
    // Bytes on the wire from the start, as a reply already waiting.
    void Reply(const std::vector<std::uint8_t>& bytes) { peer->Arrive(os.NowMs(), bytes); }
    ReplyReader Byte() { return ReplyReader(port, ReadMode::Byte); }
    ReplyReader Block() { return ReplyReader(port, ReadMode::Block); }
};

std::vector<std::uint8_t> Text(const std::string& s, std::uint8_t head = 0x5F) {
    std::vector<std::uint8_t> bytes{head};
    for (char c : s) bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
    return bytes;
}

TEST_F(ReaderFixture, ByteModeTextDropsEveryUnderscoreAndStepsPerByte) {
    Reply(Text("KTV_520plus"));
    int steps = 0;
    EXPECT_EQ(Byte().ReadText(buffer, [&] { ++steps; }), "KTV520plus");
    EXPECT_EQ(steps, 13);
    EXPECT_EQ(os.Exchange().front(), "pause 100");
}

TEST_F(ReaderFixture, BlockModeTextKeepsUnderscoreDropsAnyHeadAndCutsAtFifteen) {
    Reply(Text("KTV_520plus", 'Q'));
    EXPECT_EQ(Block().ReadText(buffer), "KTV_520plus");
    Reply(Text("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(Block().ReadText(buffer), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(os.Exchange(), Lines(R"(
        pause 200
        read 16 -> 13: 51 4B 54 56 5F 35 32 30 70 6C 75 73 00
        pause 200
        read 16 -> 16: 5F 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F)"));
}

TEST_F(ReaderFixture, BlockModeReadsOnceMoreOnlyWhenTheFirstReadIsEmpty) {
    EXPECT_EQ(Block().ReadText(buffer), "");
    EXPECT_EQ(os.Exchange(), Lines("pause 200\nread 16 -> 0\nread 16 -> 0"));
}

TEST_F(ReaderFixture, TextThatNeverEndsIsCutAndASilentTailEndsTheRead) {
    // Falls silent before the zero byte: what came is kept.
    Reply({0x5F, 'K', 'T'});
    EXPECT_EQ(Byte().ReadText(buffer), "KT");
    const auto lines = os.Exchange();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "read 1 -> 0"), kMaxEmptyReadsInARow);

    // Never sends the zero byte at all.
    os.ClearTranscript();
    peer->Stream('A', os.NowMs(), 1);
    EXPECT_EQ(Byte().ReadText(buffer), std::string(kMaxReplyBytes, 'A'));
}

TEST_F(ReaderFixture, SwitchPinsComeReversedInBothModes) {
    Reply({0x37, 0x21, '1', '0', '0', '0', '0', '0', '0', '1', 0});
    const auto block = Block().ReadSwitch(buffer, true);
    Reply({0x37, 0x21, '1', '0', '0', '0', '0', '0', '1', '0', 0});
    const auto byte = Byte().ReadSwitch(buffer, false);
    for (int p = 1; p <= 8; ++p) {
        EXPECT_EQ(block.PinValue(p), (p == 1 || p == 8) ? 1 : 0) << p;
        EXPECT_EQ(byte.PinValue(p), (p == 2 || p == 8) ? 1 : 0) << p;
    }
    EXPECT_TRUE(block.IsValid());

    // A stray character in place of a pin makes the reply unusable.
    Reply({0x37, 0x21, '1', '0', '2', '0', '0', '0', '0', '1', 0});
    EXPECT_FALSE(Block().ReadSwitch(buffer, false).IsValid());
}

TEST_F(ReaderFixture, HeaderIsSoughtOnTheFirstSwitchOnly) {
    const std::vector<std::uint8_t> noisy{0x11, 0x22, 0x37, 0x21, '0', '0', '0',
                                          '0',  '0',  '0',  '0',  '1',  0};
    Reply(noisy);
    int steps = 0;
    const auto first = Byte().ReadSwitch(buffer, true, [&] { ++steps; });
    EXPECT_TRUE(first.IsValid());
    EXPECT_EQ(first.PinValue(1), 1);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(os.Exchange(), Lines(R"(
        pause 100
        read 1 -> 1: 11
        read 1 -> 1: 22
        read 1 -> 1: 37
        read 10 -> 10: 21 30 30 30 30 30 30 30 31 00)"));

    // Later switches take the first byte as the header unchecked.
    Reply(noisy);
    EXPECT_FALSE(Byte().ReadSwitch(buffer, false).IsValid());
}

TEST_F(ReaderFixture, HeaderSearchOnASilentPrinterEnds) {
    const auto reply = Byte().ReadSwitch(buffer, true);
    EXPECT_FALSE(reply.IsValid());
    EXPECT_EQ(reply.PinValue(1), -48);
    EXPECT_LT(os.Exchange().size(), 12u);
}

TEST_F(ReaderFixture, SettingRepliesReadWholeBaudAndFirstCharacterOfOthers) {
    Reply({0x37, 0x3F, 0x01, 0x00, '1', '1', '5', '2', '0', '0', 0});
    EXPECT_EQ(Byte().ReadSetting(buffer, kItemBaudRate), "115200");
    Reply({0x37, 0x3F, 0x08, 0x00, 'A', '0', '1', 0});
    EXPECT_EQ(Block().ReadSetting(buffer, kItemVersionSuffix), "A01");
    Reply({0x37, 0x3F, 0x02, 0x00, '2', '9', '9', 0});
    EXPECT_EQ(Byte().ReadSetting(buffer, kItemParity), "299");  // m + 1 characters at most
    const auto lines = os.Exchange();
    // 100 ms, then 5 + 6 single reads for the baud rate.
    EXPECT_EQ(std::count(lines.begin(), lines.begin() + 12, "read 1 -> 1: 35"), 1);
}

TEST_F(ReaderFixture, DrainIsFivePausedSingleReads) {
    Byte().Drain();
    EXPECT_EQ(os.Exchange(), test::Repeat(5, Lines("pause 100\nread 1 -> 0")));
}

}  // namespace
}  // namespace talq::protocol
