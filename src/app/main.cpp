#include <iostream>

#include "app/help_option.h"
#include "app/program.h"

int main(int argc, char** argv) {
    // Help touches neither the display nor the print queues.
    if (const auto code = talq::app::AnswerHelp(argc, argv, std::cout)) return *code;
    return talq::app::RunProgram(argc, argv);
}
