#include "cli/port_session.h"

#include "cli/identity_ports.h"
#include "cli/models.h"
#include "cli/port_access.h"
#include "setup/check_communication.h"

namespace talq::cli {

PortSession::PortSession(const Console& console, const PortTarget& target, int model)
    : target_(target), opened_(target), model_(model), sink_(console) {}

PortSession::~PortSession() {
    port_.Close();
    setup::RestoreSpoolerQueues(queuePorts_);
}

std::optional<Failure> PortSession::Connect() {
    if (platform::IsUsbIdentityName(target_.name)) {
        Failure failure;
        auto opened = OpenedIdentityTarget(target_, model_, failure);
        if (!opened) return failure;
        opened_ = std::move(*opened);
    }
    // COM and LPT ports only, a serial adapter found by its identity among them.
    setup::RedirectSpoolerQueues(opened_.settings.portName, queuePorts_);
    bool answered = false;
    const setup::CheckResult result =
        setup::CheckCommunication(port_, opened_.settings, opened_.kind, model_, sink_, &answered);
    sink_.ClearBar();
    const std::string& name = target_.name;
    switch (result) {
        case setup::CheckResult::Connected:
            return std::nullopt;
        case setup::CheckResult::ConfigureFailed:
            return Failure{kExitPortFailed, name + ": the port could not be configured"};
        case setup::CheckResult::OpenFailed:
            return Failure{kExitPortFailed, ExplainOpenFailure(name, &target_.settings)};
        case setup::CheckResult::PortError:
            return Failure{kExitExchangeFailed,
                           name + ": the printer did not take the reset command"};
        case setup::CheckResult::WrongDeviceId:
        case setup::CheckResult::WrongMaker:
            break;
    }
    // A printer that says nothing is a matter of power, cable or line settings; one that
    // answers wrongly is another printer.
    const char* why = !answered ? "no answer (power, cable, line settings?)"
                      : result == setup::CheckResult::WrongDeviceId
                          ? "it answered as another model"
                          : "it answered with another maker's name";
    return Failure{kExitNotIdentified, name + ": the printer was not identified as a " +
                                           std::string(ModelName(model_)) + ": " + why};
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
