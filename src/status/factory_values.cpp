#include "status/factory_values.h"

#include <initializer_list>

namespace talq::status {
namespace {

void SetPins(MemorySwitch& memorySwitch, std::initializer_list<int> pins, std::int32_t value) {
    for (int pin : pins) memorySwitch.pins[pin] = value;
}

void ClearAllPins(MemorySwitch& memorySwitch) {
    SetPins(memorySwitch, {1, 2, 3, 4, 5, 6, 7, 8}, 0);
}

void ApplySharedModels(PrinterStatus& status) {
    SetPins(status.switches[kSlotSwitch1], {4}, 0);
    for (int slot : {kSlotSwitch2, kSlotSwitch8, kSlotSwitch9, kSlotSwitch10, kSlotSwitch11}) {
        ClearAllPins(status.switches[slot]);
    }
}

void ApplyModel1(PrinterStatus& status, SerialSettingsIndexes* pageIndexes) {
    SetPins(status.switches[kSlotSwitch1], {4, 5}, 0);
    ClearAllPins(status.switches[kSlotSwitch2]);
    // 115200 baud, 8 data bits, no parity, DTR/DSR; pin 3 is meaningless once parity is none.
    SetPins(status.switches[kSlotSwitch9], {2, 4, 5, 6, 7}, 0);
    SetPins(status.switches[kSlotSwitch9], {8}, 1);
    if (pageIndexes != nullptr) {
        pageIndexes->baud = 4;
        pageIndexes->dataBits = 1;
        pageIndexes->parity = 0;
        pageIndexes->flowControl = 0;
    }
}

}  // namespace

void ApplyFactoryValues(PrinterStatus& status, int model, SerialSettingsIndexes* pageIndexes) {
    switch (model) {
        case 0:
        case 2:
            ApplySharedModels(status);
            break;
        case 1:
            ApplyModel1(status, pageIndexes);
            break;
        default:
            break;
    }
}

}  // namespace talq::status
