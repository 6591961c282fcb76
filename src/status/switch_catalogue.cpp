#include "status/switch_catalogue.h"

#include <array>

namespace talq::status {
namespace {

constexpr std::string_view kEnable = "Enable";
constexpr std::string_view kDisable = "Disable";

constexpr std::array<std::string_view, 8> kReservedCaptions = {
    "[PIN 1] Reserved", "[PIN 2] Reserved", "[PIN 3] Reserved", "[PIN 4] Reserved",
    "[PIN 5] Reserved", "[PIN 6] Reserved", "[PIN 7] Reserved", "[PIN 8] Reserved",
};

constexpr std::array<std::string_view, 8> kUserSettingCaptions = {
    "[PIN 1] User Setting", "[PIN 2] User Setting", "[PIN 3] User Setting", "[PIN 4] User Setting",
    "[PIN 5] User Setting", "[PIN 6] User Setting", "[PIN 7] User Setting", "[PIN 8] User Setting",
};

PinEntry UserSetting(int pin) {
    return {kUserSettingCaptions[pin - 1], kEnable, kDisable};
}

constexpr PinEntry kFont = {"[PIN 1] Font", "B Font (9x24)", "A Font (12x24)"};
constexpr PinEntry kAutoCutter = {"[PIN 2] Auto Cutter", "Full Cut", "Partial Cut"};

// Models 0 and 2 ("KTV-520plus", "KTV-520plusF").
std::optional<PinEntry> LookupSharedModels(int page, int pin) {
    switch (page) {
        case 1:
            if (pin == 4) return UserSetting(4);
            return std::nullopt;
        case 2:
            // Pins 3..8 hold the code page, which the printer setting page edits.
            if (pin == 1) return kFont;
            if (pin == 2) return kAutoCutter;
            return std::nullopt;
        case 3:
        case 4:
            return UserSetting(pin);
        case 5:
            switch (pin) {
                case 1:
                    return PinEntry{"[PIN 1] *External Buzzer Control", kEnable, kDisable};
                case 5:
                    return PinEntry{"[PIN 5] Paper width", "2 inch", "3 inch"};
                case 6:
                    return PinEntry{"[PIN 6] Two Color Print", "Color", "Mono"};
                case 8:
                    return PinEntry{"[PIN 8] Parallel reset signal(I/F Pin 31)", kEnable, kDisable};
                default:
                    return UserSetting(pin);
            }
        case 6:
            // The one pin whose meaning runs the other way: 1 disables.
            if (pin == 1) return PinEntry{kUserSettingCaptions[0], kDisable, kEnable};
            return UserSetting(pin);
        default:
            return std::nullopt;
    }
}

// Model 1 ("KTV-540/542"): switches 8..11 are all reserved; switch 9 carries the serial
// settings, which the printer setting page edits.
std::optional<PinEntry> LookupModel1(int page, int pin) {
    if (page == 1 && pin == 4) return PinEntry{"[PIN 4] Cutting + Bell", kEnable, kDisable};
    if (page == 1 && pin == 5) return PinEntry{"[PIN 5] AutoLine Feed", kEnable, kDisable};
    if (page == 2 && pin == 1) return kFont;
    if (page == 2 && pin == 2) return kAutoCutter;
    return std::nullopt;
}

}  // namespace

std::string_view ReservedPinCaption(int pin) {
    if (pin < 1 || pin > 8) return {};
    return kReservedCaptions[pin - 1];
}

std::optional<PinEntry> SwitchCatalogue::Lookup(int model, int page, int pin) {
    if (page < 1 || page > 6 || pin < 1 || pin > 8) return std::nullopt;
    switch (model) {
        case 0:
        case 2:
            return LookupSharedModels(page, pin);
        case 1:
            return LookupModel1(page, pin);
        default:
            return std::nullopt;
    }
}

}  // namespace talq::status
