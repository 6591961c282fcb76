// talq: the command-line front end over the printer exchanges.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "cli/app.h"
#include "cli/exit_codes.h"
#include "cli/interrupts.h"
#include "platform/console.h"
#include "platform/utf8_names.h"
#include "setup/spooler_recovery.h"

namespace {

std::string WhatStopped(std::exception_ptr fault) {
    try {
        if (fault) std::rethrow_exception(fault);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "an unknown fault";
}

// The last resort, for a fault on a thread of a port or in a destructor: said plainly, never
// the runtime's abort. Queues still switched are given back by the next run of either program.
[[noreturn]] void StopOnFault() {
    const std::string text = "talq: stopped: " + WhatStopped(std::current_exception()) + "\n";
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(talq::cli::kExitStopped);
}

}  // namespace

int main(int argc, char** argv) {
    std::set_terminate(StopOnFault);
    talq::platform::SetUpStandardStreams();
    int code = talq::cli::kExitStopped;
    try {
        // Before anything else: queues a killed run of either program left switched.
        talq::setup::RecoverSpoolerQueues();
        talq::cli::DeferInterrupts();
        const std::vector<std::string> args = talq::platform::CommandLineArguments(argc, argv);
        const bool terminal = talq::platform::StandardErrorIsTerminal();
        code = talq::cli::Run(args, std::cout, std::cerr, terminal,
                              terminal && talq::platform::StandardErrorTakesEscapes());
    } catch (...) {
        std::cerr << "talq: stopped: " << WhatStopped(std::current_exception()) << std::endl;
    }
    talq::cli::RunFinished();
    return code;
}
