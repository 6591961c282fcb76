#include "sim/printer_model.h"

namespace talq::sim {
namespace {

// Models 0 and 2 keep their serial settings in items of their own; model 1
// keeps them in switch 9 (pin 8: 115200 baud, 8 data bits, no parity, DTR/DSR, as Initialize
// Status leaves it). Each starts at the line settings the connection dialog offers first.
// Switch 1 pin 1 is set on every model so that a write that must leave it
// alone can be seen to do so.
const std::array<ModelProfile, kModelCount> kProfiles = {{
    {"KTV-520plus", 0x20,
     {"00000001", "00000010", "00000000", "00000000", "00000000", "00000000"},
     "19200", "0", "0", "8", "A01"},
    {"KTV-540/542", 0x2E,
     {"00000001", "00000000", "00000000", "10000000", "00000000", "00000000"},
     "115200", "0", "0", "8", "B02"},
    {"KTV-520plusF", 0x20,
     {"00000001", "00000010", "00000000", "00000000", "00000000", "00000000"},
     "19200", "0", "0", "8", "F01"},
}};

}  // namespace

const ModelProfile& ProfileOf(int model) {
    if (model < 0 || model >= kModelCount) model = 0;
    return kProfiles[static_cast<std::size_t>(model)];
}

int ModelFromText(std::string_view text) {
    for (int i = 0; i < kModelCount; ++i) {
        if (text == kProfiles[static_cast<std::size_t>(i)].name) return i;
    }
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kModelCount) return text[0] - '0';
    return -1;
}

}  // namespace talq::sim
