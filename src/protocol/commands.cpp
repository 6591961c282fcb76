#include "protocol/commands.h"

namespace talq::protocol {

Command<15> BuildSetMemorySwitch(std::uint8_t n, const std::array<std::int32_t, 9>& pins) {
    Command<15> command{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, n};
    const bool switchOne = (n == 0x01);
    for (int p = 1; p <= 8; ++p) {
        // Character for pin p stands at byte 15 - p: pin 8 first, pin 1 last.
        auto& c = command[static_cast<std::size_t>(15 - p)];
        const bool ours = !switchOne || p == 4 || p == 5;
        c = (switchOne && !ours) ? '2' : '0';
        if (ours && pins[static_cast<std::size_t>(p)] != 0) c = '1';
    }
    return command;
}

}  // namespace talq::protocol
