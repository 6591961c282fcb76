// talq doctor's last step on a port: whether a printer answers there, and at which settings.
// Until the printer search of `talq find` is at hand, this tries the identification of Check
// Communication at the connection dialog's defaults of each model (for a serial port 19200 and
// 115200 baud, 8 data bits, no parity, 1 stop bit, hardware flow control), moving the port's
// print queues off it meanwhile, as check does.
#pragma once

#include <string>
#include <vector>

#include "cli/doctor_report.h"

namespace talq::cli {

struct ProbeOutcome {
    enum Kind {
        Found,        // `printer` answers
        Misanswered,  // something answered, but as no model of the maker
        Silent,       // nothing answered at any setting tried
        OpenFailed,   // the port could not be opened: `failure` says why
        Interrupted,  // stopped by Ctrl-C before it was done
    } kind = Silent;
    AnsweringPrinter printer;
    std::string failure;
    std::vector<std::string> tried;  // "KTV-520plus at 19200 baud"
};

ProbeOutcome ProbePort(const std::string& portName);

// The outcome as the section's "printer" finding (and its printer, when one answered).
void AddProbeFinding(const ProbeOutcome& outcome, ReportSection& section);

}  // namespace talq::cli
