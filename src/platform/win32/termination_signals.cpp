#include "platform/termination_signals.h"

namespace talq::platform {

// Windows sends no such signals: the console's events reach a command-line run
// through DeferInterrupts, and the dialogs learn of the session's end from
// their windows' messages. The object stays invalid, so nobody watches it.
TerminationSignals::TerminationSignals() = default;

TerminationSignals::~TerminationSignals() = default;

int TerminationSignals::TakeSignal() {
    return 0;
}

}  // namespace talq::platform
