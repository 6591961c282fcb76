#include "status/serial_encoding.h"

namespace talq::status {
namespace {

using Pins = std::array<std::int32_t, kIntegersPerSwitch>;

Pins& Switch9(PrinterStatus& status) {
    return status.switches[kSlotSwitch9].pins;
}
const Pins& Switch9(const PrinterStatus& status) {
    return status.switches[kSlotSwitch9].pins;
}

int Bit(std::int32_t pin) {
    return pin != 0 ? 1 : 0;
}

}  // namespace

SerialSettingsIndexes DecodeSerialSettings(const PrinterStatus& status) {
    const Pins& pins = Switch9(status);
    SerialSettingsIndexes indexes;
    indexes.baud = Bit(pins[6]) + 2 * Bit(pins[7]) + 4 * Bit(pins[8]);
    indexes.dataBits = pins[2] == 0 ? 1 : 0;
    if (pins[4] == 0) {
        indexes.parity = 0;
    } else {
        indexes.parity = pins[3] == 0 ? 1 : 2;
    }
    indexes.flowControl = pins[5];
    return indexes;
}

void EncodeBaudRate(PrinterStatus& status, int index) {
    Pins& pins = Switch9(status);
    pins[6] = 0;
    pins[7] = 0;
    pins[8] = 0;
    switch (index) {
        case 1:
            pins[6] = 1;
            break;
        case 2:
            pins[7] = 1;
            break;
        case 3:
            pins[6] = 1;
            pins[7] = 1;
            break;
        case 4:
            pins[8] = 1;
            break;
        default:
            break;
    }
}

void EncodeDataBits(PrinterStatus& status, int index) {
    Switch9(status)[2] = index == 0 ? 1 : 0;
}

void EncodeParity(PrinterStatus& status, int index) {
    Pins& pins = Switch9(status);
    pins[4] = 0;
    if (index == 1) {
        pins[3] = 0;
        pins[4] = 1;
    } else if (index == 2) {
        pins[3] = 1;
        pins[4] = 1;
    }
}

void EncodeFlowControl(PrinterStatus& status, int index) {
    // Only 0 and 1 are pin values; "no selection" must not turn into a set pin.
    if (index == 0 || index == 1) Switch9(status)[5] = index;
}

}  // namespace talq::status
