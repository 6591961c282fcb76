// A quick look at one serial line setting: does anything answer the identification questions
// with a model-ID byte soon? A search looks at every setting this way and runs the whole Check
// Communication exchange only where one did, so a silent setting costs kQuickLookSilentMs
// instead of the full exchange's patience.
//
// LookForModelId(port, settings):
//  - opens the port at `settings` (the record's time-outs) and discards pending input until the
//    first empty read (at most kQuickDiscardReads reads: a line that never falls silent is
//    looked at all the same; its bytes can only cost a confirmation);
//  - sends the identification commands of Check Communication (initialize, select peripheral
//    device, disable automatic status back, model-ID query) and nothing else;
//  - takes every byte that arrives within kAnswerWindowMs after them, in reads as long as the
//    window allows, and stops at the first model-ID byte (0x20 or 0x2E) anywhere in them:
//    noise before a reply does not hide it;
//  - closes the port again whatever came, dropping what it sent that has not gone out.
// A printer that takes longer than the window to answer is not seen; the search's thorough
// mode gives every setting the full exchange instead.
#pragma once

#include <cstdint>

#include "link/port_settings.h"
#include "link/printer_port.h"

namespace talq::setup {

enum class Look {
    ConfigureFailed,  // no port object accepted the settings
    OpenFailed,       // the device could not be opened with them
    PortError,        // the initialize command did not go out whole (a stalled write)
    Silent,           // nothing but zero bytes came
    Heard,            // bytes came, none of them a model-ID byte
    ModelIdByte,      // `modelIdByte` came
};

struct LookResult {
    Look look = Look::Silent;
    std::uint8_t modelIdByte = 0;  // ModelIdByte: 0x20 or 0x2E
};

inline constexpr int kQuickDiscardReads = 5;
inline constexpr int kAnswerWindowMs = 300;
// A silent look: one discard read (a 50 ms pause and a one-byte read that ends 20 ms after it
// begins), then the window.
inline constexpr int kQuickLookSilentMs = 50 + 20 + kAnswerWindowMs;

// Serial only; leaves `port` closed.
LookResult LookForModelId(link::PrinterPort& port, const link::PortSettings& settings);

}  // namespace talq::setup
