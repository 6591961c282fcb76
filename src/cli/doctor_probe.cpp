#include "cli/doctor_probe.h"

#include "cli/interrupts.h"
#include "cli/port_access.h"
#include "cli/port_names.h"
#include "link/connection_choices.h"
#include "setup/check_communication.h"
#include "setup/spooler_redirection.h"

namespace talq::cli {
namespace {

class SilentSink final : public status::ExchangeSink {
  public:
    void ShowMessage(const std::string&, status::MessageIcon) override {}
    void SetProgress(int) override {}
    void StepProgress() override {}
};

struct Attempt {
    int model;
    std::string baud;  // "" off a serial port
};

// Each baud with the model whose default it is first; a setting nothing answers at is left
// after its first model, a wrong answer tries the next model there.
std::vector<std::vector<Attempt>> Attempts(link::PortKind kind) {
    if (kind != link::Serial) return {{{0, ""}, {1, ""}}};  // the KTV-520plusF is serial only
    return {{{0, "19200"}, {1, "19200"}, {2, "19200"}},
            {{1, "115200"}, {0, "115200"}, {2, "115200"}}};
}

std::string AttemptWords(const Attempt& attempt) {
    std::string words(ModelName(attempt.model));
    return attempt.baud.empty() ? words : words + " at " + attempt.baud + " baud";
}

}  // namespace

ProbeOutcome ProbePort(const std::string& portName) {
    ProbeOutcome outcome;
    const link::PortKind kind = *PortKindOfName(portName);
    setup::QueuePorts queues;
    setup::RedirectSpoolerQueues(portName, queues);  // COM and LPT ports only
    bool answered = false;
    for (const auto& setting : Attempts(kind)) {
        for (const Attempt& attempt : setting) {
            if (InterruptRequested()) {
                outcome.kind = ProbeOutcome::Interrupted;
                break;
            }
            LineWords line;
            line.baud = attempt.baud;
            const link::PortSettings settings =
                *BuildPortSettings(portName, attempt.model, line).settings;
            link::PrinterPort port;
            SilentSink sink;
            bool heard = false;
            const setup::CheckResult result =
                setup::CheckCommunication(port, settings, kind, attempt.model, sink, &heard);
            port.Close();
            outcome.tried.push_back(AttemptWords(attempt));
            if (result == setup::CheckResult::Connected) {
                outcome.kind = ProbeOutcome::Found;
                outcome.printer = {attempt.model, kind, settings};
                break;
            }
            if (result == setup::CheckResult::OpenFailed ||
                result == setup::CheckResult::ConfigureFailed) {
                outcome.kind = ProbeOutcome::OpenFailed;
                outcome.failure = ExplainOpenFailure(portName, &settings);
                break;
            }
            answered = answered || heard;
            if (!heard) break;  // nothing at this setting: the next one
        }
        if (outcome.kind != ProbeOutcome::Silent) break;
    }
    if (outcome.kind == ProbeOutcome::Silent && answered) outcome.kind = ProbeOutcome::Misanswered;
    setup::RestoreSpoolerQueues(queues);
    return outcome;
}

void AddProbeFinding(const ProbeOutcome& outcome, ReportSection& section) {
    std::string tried;
    for (const std::string& words : outcome.tried) tried += (tried.empty() ? "" : ", ") + words;
    switch (outcome.kind) {
        case ProbeOutcome::Found: {
            const AnsweringPrinter& printer = outcome.printer;
            std::string command = "talq get --model " + std::string(ModelName(printer.model)) +
                                  " --port " + section.port;
            if (printer.kind == link::Serial) command += " " + LineOptions(printer.settings);
            section.Add("printer", Verdict::Ok,
                        "a " + std::string(ModelName(printer.model)) + " answers: " + command);
            section.printer = printer;
            return;
        }
        case ProbeOutcome::Misanswered:
            section.Add("printer", Verdict::Problem,
                        "something answers, but not as a KTV printer (tried " + tried + ")",
                        "is this the printer's port? Another device, or a printer at other line "
                        "settings, answers so");
            return;
        case ProbeOutcome::Silent:
            section.Add("printer", Verdict::Problem, "nothing answered (tried " + tried + ")",
                        "switch the printer on and check its cable; its own serial settings may "
                        "differ from those tried");
            return;
        case ProbeOutcome::OpenFailed:
            section.Add("printer", Verdict::Problem, outcome.failure);
            return;
        case ProbeOutcome::Interrupted:
            break;
    }
    section.Add("printer", Verdict::Skipped, "not tried: interrupted");
}

}  // namespace talq::cli
