#include "status/printer_status.h"

namespace talq::status {

void PrinterStatus::Clear() {
    for (MemorySwitch& memorySwitch : switches) memorySwitch.pins.fill(0);
}

std::optional<int> SlotOfSwitch(int switchNumber) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (kSwitchNumbers[slot] == switchNumber) return slot;
    }
    return std::nullopt;
}

std::optional<int> SlotOfPage(int page) {
    if (page < 1 || page > kSlotCount) return std::nullopt;
    return page - 1;
}

std::int32_t& IntegerAt(PrinterStatus& status, int index) {
    return status.switches.at(index / kIntegersPerSwitch).pins.at(index % kIntegersPerSwitch);
}

std::int32_t IntegerAt(const PrinterStatus& status, int index) {
    return status.switches.at(index / kIntegersPerSwitch).pins.at(index % kIntegersPerSwitch);
}

}  // namespace talq::status
