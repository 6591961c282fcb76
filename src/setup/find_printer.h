// Looking for a printer on one port: a quick look at one line setting after another, and
// Check Communication's identification exchange, as it stands, where something answered,
// until a printer is identified. UI-free, so that every
// front end that has to find a printer (talq find, and what diagnoses a port or sets up a
// swapped printer) walks the same settings in the same order, holds the same print queues and
// stops the same way.
//
// FindPrinter(port, queues, request):
//  - Opens the device once on its own first, without a line setting and without writing: a
//    device that cannot be opened (absent, held by another program, not permitted), a serial
//    node the kernel reports without a UART, or the kernel's console (never opened:
//    `systemConsole`) ends the search at once (CannotOpen);
//    nothing is sent and no print queue is touched. The caller explains why (the platform's
//    reasons need the port name only).
//  - Then moves the print queues on a COM or LPT port off it into `queues`, exactly as
//    Check Communication does; they stay moved until the caller gives them back
//    (RestoreSpoolerQueues), so a caller that goes on with the found printer keeps them held.
//  - On a COM port tries `request.lines` in order; on an LPT port or a USB entry the line has
//    no settings and one exchange is made. At each COM setting a quick look (quick_look.h)
//    sends the identification commands and waits kAnswerWindowMs for a model-ID byte; only
//    where one came is the exchange itself made. With `thorough` every setting gets the
//    exchange itself, with its full patience, as the dialog's Check Communication gives it.
//    The exchange is CheckCommunication: the port is opened, reset, asked for its model-ID
//    byte and maker name, and closed again unless identified. Nothing but those commands is
//    sent, and the texts below once a printer has answered.
//  - The model-ID byte tells the two families apart (0x20: KTV-520plus and KTV-520plusF,
//    0x2E: KTV-540/542). The exchange after a look expects the byte the look saw. A thorough
//    try expects the byte of `request.model` (of the KTV-520plus when any model will do); a
//    printer that answers with another byte is asked again at the same setting with the other
//    family's, whichever model was asked for: find reports what is there. Once identified, its
//    firmware version and model name are read (ReadPrinterInfo), and the name tells a
//    KTV-520plusF from a KTV-520plus.
//  - A setting that the system refuses for the device (the platform refuses it, or the open
//    with it fails while the device itself opens) costs no time and counts in `refused`.
//  - A write that stalls (a printer holding CTS low) tries the same setting with Xon/Xoff flow
//    next, unless the flow control was fixed: that is the one case in which a host's flow
//    control keeps an idle printer from answering. The settings after it go at Xon/Xoff too.
//  - `stopRequested` is asked before every exchange: a stop ends the search after the current
//    one (Interrupted), the port closed.
// Results: Found (port left open and identified at `line`, the way Check Communication leaves
// it, for the caller to go on), OtherPrinter (something answered the identification as the
// maker's printers do but with another maker's name: not looked at further), NothingAnswered
// (`heardBytes` when some setting brought bytes that identified nothing), CannotOpen,
// Interrupted. Every exchange is bounded: a silent setting costs SilentTryMs.
//
// Why no second, thorough pass after a quick one that found nothing: most ports a search
// finds empty have nothing behind them, and a second pass would more than double what each of
// them costs (42 x 0.37 s + 42 x 1.67 s) for a printer that takes over 0.3 s to answer one
// byte, where an idle printer answers within a few character times; the caller offers
// `thorough` for that one instead.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/port_settings.h"
#include "link/printer_port.h"
#include "platform/platform.h"
#include "setup/spooler_redirection.h"
#include "status/printer_info.h"

namespace talq::setup {

// The line settings a search keeps as given; those left empty are searched.
struct FixedLine {
    std::optional<int> baudRate, dataBits, stopBits, parity, flowControl;  // the record's codes
};

// The COM-port line settings a search walks for `model` (-1: any model), most likely first:
//  - character framings in the order 8 None, 7 Even, 8 Even, 8 Odd, 7 Odd, 7 None (every
//    model leaves the factory at 8 None; 7 Even is the usual other one), each over all rates
//    before the next framing, since a printer's speed is changed far more often than its
//    framing;
//  - rates: the model's factory rate first (19200; 115200 on the KTV-540/542; both when any
//    model will do), then 9600, 115200, 19200, 38400, 57600, 4800, 2400, as far as the
//    model's list has them;
//  - one stop bit (a receiver looks only at the first, so the host's never matters) and
//    Hardware flow (the printer's factory DTR/DSR); Xon/Xoff only after a stalled write.
// Settings in `fixed` are kept; a fixed value the model's lists lack leaves nothing.
std::vector<platform::LineSettings> SearchOrder(int model, const FixedLine& fixed = {});

enum class FindOutcome { Found, OtherPrinter, NothingAnswered, CannotOpen, Interrupted };

struct FindRequest {
    std::string portName;  // COM1..COM10, LPT1..LPT3, or a USB entry
    link::PortKind kind = link::Serial;
    int model = -1;                             // 0, 1, 2, or -1 for any
    std::vector<platform::LineSettings> lines;  // a COM port's settings, in order
    bool flowFixed = false;                     // no Xon/Xoff try after a stalled write
    bool thorough = false;                      // the whole exchange at every COM setting
    std::function<bool()> stopRequested;        // may be empty
    // Before each exchange: its number from 1, the number planned, and the line setting (none
    // for an LPT port or a USB entry).
    std::function<void(int tryNumber, int planned, const platform::LineSettings* line)> onTry;
};

struct FindResult {
    FindOutcome outcome = FindOutcome::NothingAnswered;
    int model = -1;                              // Found: 0, 1 or 2
    status::PrinterInfo info;                    // Found: firmware version and model name
    std::optional<platform::LineSettings> line;  // COM port, Found or OtherPrinter
    int tries = 0;                               // exchanges made, looks included
    int settingsTried = 0;                       // line settings looked at or tried
    int refused = 0;                             // settings the system refused
    bool heardBytes = false;
    bool systemConsole = false;  // CannotOpen: the device is the kernel's console
};

FindResult FindPrinter(link::PrinterPort& port, QueuePorts& queues, const FindRequest& request);

// The longest a search spends on a setting where nothing answers: on a COM port a quick look,
// 370 ms, or with `thorough` the whole exchange; serial (thorough) and parallel 1670 ms (the
// discard of pending input, the model-ID read and its ten retries), USB 2200 ms.
int SilentTryMs(link::PortKind kind, bool thorough = false);

}  // namespace talq::setup
