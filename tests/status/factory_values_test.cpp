#include "status/factory_values.h"

#include <gtest/gtest.h>

#include "status/code_pages.h"

namespace talq::status {
namespace {

PrinterStatus Filled(std::int32_t value) {
    PrinterStatus status;
    for (MemorySwitch& memorySwitch : status.switches) memorySwitch.pins.fill(value);
    return status;
}

TEST(FactoryValues, SharedModelsClearEveryEditablePinAndKeepTheRest) {
    for (int model : {0, 2}) {
        PrinterStatus status = Filled(7);
        SerialSettingsIndexes indexes{2, 0, 1, 1};
        ApplyFactoryValues(status, model, &indexes);

        const auto& switch1 = status.switches[kSlotSwitch1].pins;
        EXPECT_EQ(switch1, (std::array<std::int32_t, 9>{7, 7, 7, 7, 0, 7, 7, 7, 7})) << model;
        for (int slot = kSlotSwitch2; slot < kSlotCount; ++slot) {
            EXPECT_EQ(status.switches[slot].pins,
                      (std::array<std::int32_t, 9>{7, 0, 0, 0, 0, 0, 0, 0, 0}))
                << model << " slot " << slot;
        }
        EXPECT_EQ(indexes, (SerialSettingsIndexes{2, 0, 1, 1}));
    }
}

TEST(FactoryValues, Model1SetsItsPinsAndTheSerialIndexesTheyEncode) {
    const PrinterStatus before = Filled(1);
    PrinterStatus status = before;
    SerialSettingsIndexes indexes;
    ApplyFactoryValues(status, 1, &indexes);

    EXPECT_EQ(status.switches[kSlotSwitch1].pins,
              (std::array<std::int32_t, 9>{1, 1, 1, 1, 0, 0, 1, 1, 1}));
    EXPECT_EQ(DecodeCodePage(status), 0);
    EXPECT_EQ(status.switches[kSlotSwitch2].pins[0], 1);
    for (int slot : {kSlotSwitch8, kSlotSwitch10, kSlotSwitch11}) {
        EXPECT_EQ(status.switches[slot], before.switches[slot]) << slot;
    }
    EXPECT_EQ(status.switches[kSlotSwitch9].pins,
              (std::array<std::int32_t, 9>{1, 1, 0, 1, 0, 0, 0, 0, 1}));

    EXPECT_EQ(indexes.baud, 4);
    EXPECT_EQ(indexes.dataBits, 1);
    EXPECT_EQ(indexes.parity, 0);
    EXPECT_EQ(indexes.flowControl, 0);
    EXPECT_EQ(indexes, DecodeSerialSettings(status));  // pin 3 still set, parity still "None"

    ApplyFactoryValues(status, 1, nullptr);  // the page's indexes are optional
}

TEST(FactoryValues, UnknownModelChangesNothing) {
    for (int model : {-1, 3}) {
        PrinterStatus status = Filled(1);
        SerialSettingsIndexes indexes;
        ApplyFactoryValues(status, model, &indexes);
        EXPECT_EQ(status, Filled(1));
        EXPECT_EQ(indexes, SerialSettingsIndexes{});
    }
}

}  // namespace
}  // namespace talq::status
