// talq: the command-line front end over the printer exchanges.
#include <iostream>

#include "cli/app.h"
#include "cli/interrupts.h"
#include "platform/console.h"
#include "platform/utf8_names.h"
#include "setup/spooler_recovery.h"

int main(int argc, char** argv) {
    // Before anything else: queues a killed run of either program left switched.
    talq::setup::RecoverSpoolerQueues();
    talq::cli::DeferInterrupts();
    const std::vector<std::string> args = talq::platform::CommandLineArguments(argc, argv);
    const bool terminal = talq::platform::StandardErrorIsTerminal();
    const int code = talq::cli::Run(args, std::cout, std::cerr, terminal,
                                    terminal && talq::platform::StandardErrorTakesEscapes());
    talq::cli::RunFinished();
    return code;
}
