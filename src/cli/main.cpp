// talq: the command-line front end over the printer exchanges.
#include <unistd.h>

#include <iostream>

#include "cli/app.h"
#include "cli/interrupts.h"

int main(int argc, char** argv) {
    talq::cli::DeferInterrupts();
    std::vector<std::string> args(argv + 1, argv + argc);
    return talq::cli::Run(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
