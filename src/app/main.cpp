#include <QGuiApplication>
#include <iostream>

#include "app/help_option.h"
#include "app/manager_app.h"

int main(int argc, char** argv) {
    if (const auto code = talq::app::AnswerHelp(argc, argv, std::cout)) return *code;
    // Wayland shells match the window to its desktop entry (name, icon) by this id.
    QGuiApplication::setDesktopFileName("org.talquist.Manager");
    talq::app::ManagerApp app(argc, argv);
    return app.InitInstance();
}
