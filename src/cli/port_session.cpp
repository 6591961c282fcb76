#include "cli/port_session.h"

#include "cli/identity_ports.h"
#include "cli/interrupts.h"
#include "cli/models.h"
#include "cli/port_access.h"
#include "cli/saved_line_settings.h"
#include "setup/check_communication.h"

namespace talq::cli {

PortSession::PortSession(const Console& console, const PortTarget& target, int model)
    : target_(target), opened_(target), model_(model), sink_(console) {}

PortSession::~PortSession() {
    port_.Close();
    setup::RestoreSpoolerQueues(queuePorts_);
}

std::optional<Failure> PortSession::LookUpIdentity() {
    if (!platform::IsUsbIdentityName(target_.name)) return std::nullopt;
    Failure failure;
    auto opened = OpenedIdentityTarget(target_, model_ < 0 ? 0 : model_, failure);
    if (!opened) return failure;
    opened_ = std::move(*opened);
    return std::nullopt;
}

std::optional<Failure> PortSession::Connect() {
    if (auto failed = LookUpIdentity()) return failed;
    // COM and LPT ports only, a serial adapter found by its identity among them.
    setup::RedirectSpoolerQueues(opened_.settings.portName, queuePorts_);
    bool answered = false;
    return Check(sink_, &answered);
}

namespace {

// A check the caller tells about in its own words.
class QuietSink : public status::ExchangeSink {
  public:
    void ShowMessage(const std::string&, status::MessageIcon) override {}
    void SetProgress(int) override {}
    void StepProgress() override {}
};

}  // namespace

std::optional<Failure> PortSession::Reconnect(const platform::LineSettings& line) {
    port_.Close();
    SetLine(opened_.settings, line);
    bool answered = false;
    QuietSink quiet;
    return Check(quiet, &answered);
}

std::optional<Failure> PortSession::Check(status::ExchangeSink& sink, bool* answered) {
    const setup::CheckResult result =
        setup::CheckCommunication(port_, opened_.settings, opened_.kind, model_, sink, answered);
    sink_.ClearBar();
    const std::string& name = target_.name;
    switch (result) {
        case setup::CheckResult::Connected:
            return std::nullopt;
        case setup::CheckResult::ConfigureFailed:
            return Failure{kExitPortFailed, name + ": the port could not be configured"};
        case setup::CheckResult::OpenFailed:
            return Failure{kExitPortFailed, ExplainOpenFailure(name, &opened_.settings)};
        case setup::CheckResult::PortError:
            return Failure{kExitExchangeFailed,
                           name + ": the printer did not take the reset command"};
        case setup::CheckResult::WrongDeviceId:
        case setup::CheckResult::WrongMaker:
            break;
    }
    // A printer that says nothing is a matter of power, cable or line settings; one that
    // answers wrongly is another printer.
    const char* why = !*answered ? "no answer (power, cable, line settings?)"
                      : result == setup::CheckResult::WrongDeviceId
                          ? "it answered as another model"
                          : "it answered with another maker's name";
    return Failure{kExitNotIdentified, name + ": the printer was not identified as a " +
                                           std::string(ModelName(model_)) + ": " + why};
}

std::optional<Failure> PortSession::Find(setup::FindRequest request, setup::FindResult& found) {
    if (auto failed = LookUpIdentity()) return failed;
    request.portName = opened_.settings.portName;
    request.kind = opened_.kind;
    found = setup::FindPrinter(port_, queuePorts_, request);
    const std::string& name = target_.name;
    switch (found.outcome) {
        case setup::FindOutcome::Found:
            model_ = found.model;
            if (found.line) SetLine(opened_.settings, *found.line);
            return std::nullopt;
        case setup::FindOutcome::OtherPrinter:
            return Failure{kExitNotIdentified,
                           name +
                               ": a printer answered with another maker's name: not one of "
                               "the KTV printers"};
        case setup::FindOutcome::NothingAnswered:
            return Failure{kExitNotIdentified,
                           name + ": no printer answered (" +
                               (opened_.kind == link::Serial
                                    ? std::to_string(found.settingsTried) + " line settings tried"
                                    : std::string("asked once")) +
                               (found.heardBytes ? "; bytes came back that identified no printer"
                                                 : "") +
                               "; power, cable?)"};
        case setup::FindOutcome::CannotOpen:
            return Failure{kExitPortFailed,
                           found.systemConsole
                               ? name + ": " +
                                     platform::DevicePathForPort(opened_.settings.portName) +
                                     " is the system's console: left alone"
                               : ExplainOpenFailure(name)};
        case setup::FindOutcome::Interrupted:
            break;
    }
    return Failure{kExitInterrupted, name + ": interrupted while looking for the printer"};
}

std::optional<Failure> PortSession::FailureOf(status::ExchangeResult result,
                                              const char* exchange) const {
    switch (result) {
        case status::ExchangeResult::Success:
            return std::nullopt;
        case status::ExchangeResult::IdentifyFailed:
            return Failure{kExitNotIdentified,
                           target_.name + ": " + exchange + ": the printer was not identified"};
        case status::ExchangeResult::Failed:
            break;
    }
    return Failure{kExitExchangeFailed, target_.name + ": " + exchange + " failed part-way"};
}

}  // namespace talq::cli
