#include "app/program.h"

#include <csignal>

#include "app/manager_app.h"
#include "setup/spooler_recovery.h"

namespace talq::app {

int RunProgram(int argc, char** argv) {
    // Before anything else, even the display: queues a killed run left switched.
    setup::RecoverSpoolerQueues();
    int result = 0;
    int signal = 0;
    {
        ManagerApp app(argc, argv);
        result = app.InitInstance();
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
