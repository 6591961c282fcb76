#include "status/switch_catalogue.h"

#include <gtest/gtest.h>

namespace talq::status {
namespace {

int CountEntries(int model) {
    int count = 0;
    for (int page = 1; page <= 6; ++page) {
        for (int pin = 1; pin <= 8; ++pin)
            count += SwitchCatalogue::Lookup(model, page, pin) ? 1 : 0;
    }
    return count;
}

TEST(SwitchCatalogue, EachModelListsExactlyItsEditablePins) {
    EXPECT_EQ(CountEntries(0), 35);
    EXPECT_EQ(CountEntries(2), 35);
    EXPECT_EQ(CountEntries(1), 4);
    EXPECT_EQ(CountEntries(3), 0);
    EXPECT_EQ(CountEntries(-1), 0);

    for (int pin = 3; pin <= 8; ++pin) {  // the code page pins
        EXPECT_FALSE(SwitchCatalogue::Lookup(0, 2, pin)) << pin;
    }
    for (int page = 3; page <= 6; ++page) {
        for (int pin = 1; pin <= 8; ++pin) EXPECT_FALSE(SwitchCatalogue::Lookup(1, page, pin));
    }
    EXPECT_FALSE(SwitchCatalogue::Lookup(0, 0, 1));
    EXPECT_FALSE(SwitchCatalogue::Lookup(0, 7, 1));
    EXPECT_FALSE(SwitchCatalogue::Lookup(0, 3, 0));
    EXPECT_FALSE(SwitchCatalogue::Lookup(0, 3, 9));
}

TEST(SwitchCatalogue, OnlySwitch11Pin1OfTheSharedModelsRunsBackwards) {
    for (int model : {0, 1, 2}) {
        for (int page = 1; page <= 6; ++page) {
            for (int pin = 1; pin <= 8; ++pin) {
                const auto entry = SwitchCatalogue::Lookup(model, page, pin);
                if (!entry || entry->valueOneCaption == entry->valueZeroCaption) continue;
                const bool reversed = model != 1 && page == 6 && pin == 1;
                if (entry->valueOneCaption == "Enable" || entry->valueOneCaption == "Disable") {
                    EXPECT_EQ(entry->valueOneCaption, reversed ? "Disable" : "Enable")
                        << model << "/" << page << "/" << pin;
                    EXPECT_EQ(entry->valueZeroCaption, reversed ? "Enable" : "Disable");
                }
            }
        }
    }
    EXPECT_EQ(SwitchCatalogue::Lookup(2, 6, 1),
              (PinEntry{"[PIN 1] User Setting", "Disable", "Enable"}));
}

TEST(SwitchCatalogue, CaptionsAreTheModelsOwn) {
    EXPECT_EQ(SwitchCatalogue::Lookup(0, 1, 4),
              (PinEntry{"[PIN 4] User Setting", "Enable", "Disable"}));
    EXPECT_EQ(SwitchCatalogue::Lookup(1, 1, 4),
              (PinEntry{"[PIN 4] Cutting + Bell", "Enable", "Disable"}));
    EXPECT_EQ(SwitchCatalogue::Lookup(1, 1, 5),
              (PinEntry{"[PIN 5] AutoLine Feed", "Enable", "Disable"}));
    EXPECT_FALSE(SwitchCatalogue::Lookup(0, 1, 5));
    EXPECT_EQ(SwitchCatalogue::Lookup(1, 2, 1),
              (PinEntry{"[PIN 1] Font", "B Font (9x24)", "A Font (12x24)"}));
    EXPECT_EQ(SwitchCatalogue::Lookup(0, 2, 2),
              (PinEntry{"[PIN 2] Auto Cutter", "Full Cut", "Partial Cut"}));
    EXPECT_EQ(SwitchCatalogue::Lookup(0, 5, 1)->caption, "[PIN 1] *External Buzzer Control");
    EXPECT_EQ(SwitchCatalogue::Lookup(0, 5, 5),
              (PinEntry{"[PIN 5] Paper width", "2 inch", "3 inch"}));
    EXPECT_EQ(SwitchCatalogue::Lookup(0, 5, 6),
              (PinEntry{"[PIN 6] Two Color Print", "Color", "Mono"}));
    EXPECT_EQ(SwitchCatalogue::Lookup(0, 5, 7)->caption, "[PIN 7] User Setting");
    EXPECT_EQ(SwitchCatalogue::Lookup(0, 5, 8)->caption,
              "[PIN 8] Parallel reset signal(I/F Pin 31)");
    EXPECT_EQ(SwitchCatalogue::Lookup(2, 4, 8)->caption, "[PIN 8] User Setting");

    EXPECT_EQ(ReservedPinCaption(1), "[PIN 1] Reserved");
    EXPECT_EQ(ReservedPinCaption(8), "[PIN 8] Reserved");
    EXPECT_EQ(ReservedPinCaption(9), "");
    EXPECT_EQ(kReservedButtonCaption, "Reserved");
}

}  // namespace
}  // namespace talq::status
