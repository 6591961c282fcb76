#include <QGuiApplication>
#include <iostream>

#include "app/help_option.h"
#include "app/program.h"

int main(int argc, char** argv) {
    // Help touches neither the display nor the print queues.
    if (const auto code = talq::app::AnswerHelp(argc, argv, std::cout)) return *code;
    // Wayland shells match the window to its desktop entry (name, icon) by this id.
    QGuiApplication::setDesktopFileName("org.talquist.Manager");
    return talq::app::RunProgram(argc, argv);
}
