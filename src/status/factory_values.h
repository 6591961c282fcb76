// Factory values of the pins the user may set, written by Initialize Status.
#pragma once

#include "status/printer_status.h"
#include "status/serial_encoding.h"

namespace talq::status {

// Writes the factory pins of model 0, 1 or 2; pins not concerned and every pins[0] keep their
// values. On model 1 also sets pageIndexes (when given) to the serial settings that switch 9
// now holds. Any other model changes nothing.
void ApplyFactoryValues(PrinterStatus& status, int model, SerialSettingsIndexes* pageIndexes);

}  // namespace talq::status
