#include "app/program.h"

#include <csignal>

#include "app/manager_app.h"
#include "setup/spooler_recovery.h"
#include "ui/prompts.h"

namespace talq::app {

std::string StoppedMessage(std::exception_ptr fault) {
    std::string what = "an unknown fault";
    try {
        if (fault) std::rethrow_exception(fault);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    return "talq-manager stopped on an unexpected fault: " + what;
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
            ui::MessageBox(nullptr, StoppedMessage(std::current_exception()),
                           ui::MessageIcon::Exclamation);
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
