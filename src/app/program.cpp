#include "app/program.h"

#include <csignal>

#include "app/manager_app.h"
#include "setup/spooler_recovery.h"
#include "ui/handler_faults.h"
#include "ui/prompts.h"

namespace talq::app {

std::string StoppedMessage(std::exception_ptr fault) {
    return ui::StoppedMessage("talq-manager", {}, fault);
}

int RunProgram(int argc, char** argv) {
    // Before anything else, even the display: queues a killed run left switched.
    setup::RecoverSpoolerQueues();
    int result = 0;
    int signal = 0;
    {
        ManagerApp app(argc, argv);
        try {
            result = app.InitInstance();
        } catch (...) {
            // A fault out of a handler was shown over its dialog already.
            const std::exception_ptr fault = std::current_exception();
            if (!ui::FaultShown(fault)) {
                ui::MessageBox(nullptr, StoppedMessage(fault), ui::MessageIcon::Exclamation);
            }
            result = kExitStopped;
        }
        signal = app.CaughtSignal();
    }
    if (signal != 0) {
        // Everything is given back and closed: end as the signal asked.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return result;
}

}  // namespace talq::app
