#include "cli/doctor_probe.h"

#include "cli/interrupts.h"
#include "cli/port_access.h"
#include "cli/port_names.h"

namespace talq::cli {
namespace {

setup::FindRequest RequestFor(const std::string& portName) {
    setup::FindRequest request;
    request.portName = portName;
    request.kind = *PortKindOfName(portName);
    if (request.kind == link::Serial) request.lines = setup::SearchOrder(-1);
    request.stopRequested = [] { return InterruptRequested(); };
    return request;
}

}  // namespace

std::string ProbePlan(const std::string& portName) {
    const setup::FindRequest request = RequestFor(portName);
    const int tries = request.kind == link::Serial ? static_cast<int>(request.lines.size()) : 1;
    const int seconds = (tries * setup::SilentTryMs(request.kind) + 999) / 1000;
    return "up to " + std::to_string(tries) + (tries == 1 ? " try" : " line settings") +
           ", given up after " + std::to_string(seconds) + " s if nothing answers";
}

setup::FindResult ProbePort(const std::string& portName) {
    link::PrinterPort port;
    setup::QueuePorts queues;
    const setup::FindResult found = setup::FindPrinter(port, queues, RequestFor(portName));
    port.Close();
    setup::RestoreSpoolerQueues(queues);
    return found;
}

void AddProbeFinding(const setup::FindResult& found, ReportSection& section) {
    const std::string tries = std::to_string(found.tries) +
                              (found.tries == 1 ? " try" : " line settings tried");
    switch (found.outcome) {
        case setup::FindOutcome::Found: {
            AnsweringPrinter printer{found.model, *PortKindOfName(section.port), found.line,
                                     found.info};
            std::string command = "talq get --model " + std::string(ModelName(printer.model)) +
                                  " --port " + section.port;
            if (printer.line) command += " " + LineOptions(*printer.line);
            section.Add("printer", Verdict::Ok,
                        "a " + std::string(ModelName(printer.model)) + " answers (\"" +
                            found.info.modelName + "\", firmware \"" +
                            found.info.firmwareVersion + "\"): " + command);
            section.printer = printer;
            return;
        }
        case setup::FindOutcome::OtherPrinter:
            section.Add("printer", Verdict::Problem,
                        "a printer answers, with another maker's name: not one of the KTV "
                        "printers");
            return;
        case setup::FindOutcome::NothingAnswered:
            if (found.heardBytes) {
                section.Add("printer", Verdict::Problem,
                            "bytes came back that identified no printer (" + tries + ")",
                            "is this the printer's port? Another device answers here");
            } else {
                section.Add("printer", Verdict::Problem, "nothing answered (" + tries + ")",
                            "switch the printer on and check its cable");
            }
            return;
        case setup::FindOutcome::CannotOpen:
            section.Add("printer", Verdict::Problem,
                        found.systemConsole ? section.device + " is the system's console"
                                            : ExplainOpenFailure(section.port));
            return;
        case setup::FindOutcome::Interrupted:
            break;
    }
    section.Add("printer", Verdict::Skipped, "not tried to the end: interrupted");
}

}  // namespace talq::cli
