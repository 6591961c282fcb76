#include <gtest/gtest.h>

#include "status/code_pages.h"
#include "status/serial_encoding.h"

namespace talq::status {
namespace {

const auto& Switch2(const PrinterStatus& s) {
    return s.switches[kSlotSwitch2].pins;
}
const auto& Switch9(const PrinterStatus& s) {
    return s.switches[kSlotSwitch9].pins;
}

TEST(PinEncoding, ClearedRecordDecodesToFirstEntries) {
    PrinterStatus status;
    status.switches[kSlotSwitch9].pins[3] = 1;  // pin 3 alone means nothing without pin 4
    status.Clear();
    EXPECT_EQ(kCodePageTexts[DecodeCodePage(status)], "PC437 (USA: Standard Europe)");
    const SerialSettingsIndexes indexes = DecodeSerialSettings(status);
    EXPECT_EQ(kSwitchBaudTexts[indexes.baud], "9600");
    EXPECT_EQ(kDataBitsTexts[indexes.dataBits], "8");
    EXPECT_EQ(kParityTexts[indexes.parity], "None");
    EXPECT_EQ(kFlowControlTexts[indexes.flowControl], "DTR/DSR");
}

TEST(PinEncoding, CodePageUsesPinsThreeToEightAndSparesPinsOneAndTwo) {
    PrinterStatus status;
    status.switches[kSlotSwitch2].pins[1] = 1;
    status.switches[kSlotSwitch2].pins[2] = 1;

    EncodeCodePage(status, 32);  // "User Codepage(Page 43)": the high bit, on pin 3
    EXPECT_EQ(Switch2(status), (std::array<std::int32_t, 9>{0, 1, 1, 1, 0, 0, 0, 0, 0}));
    EncodeCodePage(status, 36);  // the last "Reserved": pins 3 and 6
    EXPECT_EQ(Switch2(status), (std::array<std::int32_t, 9>{0, 1, 1, 1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(kCodePageTexts[36], "Reserved");

    for (int index = 0; index < kCodePageCount; ++index) {
        EncodeCodePage(status, index);
        EXPECT_EQ(DecodeCodePage(status), index);
    }
    for (int outOfList : {37, 63, 64, -1}) {
        EncodeCodePage(status, 21);
        EncodeCodePage(status, outOfList);
        EXPECT_EQ(DecodeCodePage(status), 0) << outOfList;
        EXPECT_EQ(Switch2(status)[1], 1);
        EXPECT_EQ(Switch2(status)[2], 1);
    }

    // Decoding counts any non-zero pin and can land past the list's end.
    for (int pin = 3; pin <= 8; ++pin) status.switches[kSlotSwitch2].pins[pin] = pin == 3 ? -48 : 5;
    EXPECT_EQ(DecodeCodePage(status), 63);
    EXPECT_EQ(kCodePageTexts[6], "WPC1252 (Lantin 1)");
}

TEST(PinEncoding, BaudRatePatternsRoundTripAndHighPatternsHaveNoEntry) {
    PrinterStatus status;
    for (int index = 0; index < static_cast<int>(kSwitchBaudTexts.size()); ++index) {
        EncodeBaudRate(status, index);
        EXPECT_EQ(DecodeSerialSettings(status).baud, index);
    }
    EncodeBaudRate(status, 3);  // "57600"
    EXPECT_EQ(Switch9(status)[6], 1);
    EXPECT_EQ(Switch9(status)[7], 1);
    EXPECT_EQ(Switch9(status)[8], 0);

    auto& pins = status.switches[kSlotSwitch9].pins;
    for (int pattern = 5; pattern <= 7; ++pattern) {
        pins[6] = pattern & 1;
        pins[7] = (pattern >> 1) & 1;
        pins[8] = 1;
        EXPECT_EQ(DecodeSerialSettings(status).baud, pattern);
        EXPECT_GE(DecodeSerialSettings(status).baud, static_cast<int>(kSwitchBaudTexts.size()));
    }
    EncodeBaudRate(status, 5);
    EXPECT_EQ(pins[6] + pins[7] + pins[8], 0);
}

TEST(PinEncoding, DataBitsParityAndFlowControlTouchOnlyTheirPins) {
    PrinterStatus status;
    auto& pins = status.switches[kSlotSwitch9].pins;
    pins[1] = 1;

    EncodeDataBits(status, 0);  // "7" is the set pin
    EXPECT_EQ(pins[2], 1);
    EXPECT_EQ(DecodeSerialSettings(status).dataBits, 0);
    EncodeDataBits(status, 1);
    EXPECT_EQ(pins[2], 0);
    EXPECT_EQ(DecodeSerialSettings(status).dataBits, 1);

    EncodeParity(status, 2);
    EXPECT_EQ(DecodeSerialSettings(status).parity, 2);
    EncodeParity(status, 0);  // "None" clears pin 4 only
    EXPECT_EQ(pins[3], 1);
    EXPECT_EQ(pins[4], 0);
    EXPECT_EQ(DecodeSerialSettings(status).parity, 0);
    EncodeParity(status, 1);
    EXPECT_EQ(pins[3], 0);
    EXPECT_EQ(pins[4], 1);
    EXPECT_EQ(DecodeSerialSettings(status).parity, 1);

    EncodeFlowControl(status, 1);
    EXPECT_EQ(DecodeSerialSettings(status).flowControl, 1);
    EncodeFlowControl(status, -1);  // no selection must not become a pin value
    EXPECT_EQ(pins[5], 1);
    EncodeFlowControl(status, 0);
    EXPECT_EQ(pins[5], 0);

    EXPECT_EQ(pins[1], 1);
    EXPECT_EQ(pins[0], 0);
}

}  // namespace
}  // namespace talq::status
