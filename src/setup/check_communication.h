// Check Communication from the configuration of the port on: opens the port,
// resets the printer and accepts it only if its model-ID byte fits the chosen
// model and its maker name is exactly "KESTRUM".
#pragma once

#include "link/port_settings.h"
#include "link/printer_port.h"
#include "status/exchange_sink.h"

namespace talq::setup {

enum class CheckResult {
    ConfigureFailed,  // no port object accepted the settings
    OpenFailed,       // the device could not be opened
    PortError,        // the reset command did not go out whole; port closed
    WrongDeviceId,    // port closed
    WrongMaker,       // port closed
    Connected,        // port open and identified
};

// Leaves `port` open only on Connected. `answered`, when given, tells a WrongDeviceId from a
// printer that sent nothing at all (switched off, wrong cable or line settings): false then.
CheckResult CheckCommunication(link::PrinterPort& port, const link::PortSettings& settings,
                               link::PortKind portKind, int model, status::ExchangeSink& sink,
                               bool* answered = nullptr);

// Discarding pending input ends at the fifth empty read in a row; a device
// that never falls silent is given up on after this many reads (about 3 s).
inline constexpr int kMaxDiscardReads = 40;

}  // namespace talq::setup
