// Which pins of each switch the user may change per printer model, and what they mean.
#pragma once

#include <optional>
#include <string_view>

namespace talq::status {

struct PinEntry {
    std::string_view caption;
    std::string_view valueOneCaption;   // right-hand button, pin value 1
    std::string_view valueZeroCaption;  // left-hand button, pin value 0

    friend bool operator==(const PinEntry&, const PinEntry&) = default;
};

// Caption of both buttons of a reserved pin row.
inline constexpr std::string_view kReservedButtonCaption = "Reserved";

// "[PIN k] Reserved" for pin 1..8; empty outside that range.
std::string_view ReservedPinCaption(int pin);

class SwitchCatalogue {
  public:
    // Entry of (model 0..2, page 1..6, pin 1..8); nullopt when the pin is reserved, or the
    // model, page or pin is out of range.
    static std::optional<PinEntry> Lookup(int model, int page, int pin);
};

}  // namespace talq::status
