#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "app/help_option.h"
#include "app/program.h"

namespace {

// The last resort, for a fault outside the dialog's run or where it cannot be caught.
[[noreturn]] void StopOnFault() {
    std::fprintf(stderr, "%s\n", talq::app::StoppedMessage(std::current_exception()).c_str());
    std::_Exit(talq::app::kExitStopped);
}

}  // namespace

int main(int argc, char** argv) {
    std::set_terminate(StopOnFault);
    // Help touches neither the display nor the print queues.
    if (const auto code = talq::app::AnswerHelp(argc, argv, std::cout)) return *code;
    try {
        return talq::app::RunProgram(argc, argv);
    } catch (...) {
        std::cerr << talq::app::StoppedMessage(std::current_exception()) << std::endl;
        return talq::app::kExitStopped;
    }
}
