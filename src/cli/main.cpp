// talq: the command-line front end over the printer exchanges.
#include <iostream>

#include "cli/app.h"
#include "cli/interrupts.h"
#include "platform/console.h"
#include "setup/spooler_recovery.h"

int main(int argc, char** argv) {
    // Before anything else: queues a killed run of either program left switched.
    talq::setup::RecoverSpoolerQueues();
    talq::cli::DeferInterrupts();
    std::vector<std::string> args(argv + 1, argv + argc);
    return talq::cli::Run(args, std::cout, std::cerr, talq::platform::StandardErrorIsTerminal());
}
