// talq-manager as it is, driven from inside for tests of the whole program:
// it says "shown" once the connection dialog runs and, with TALQ_DRIVE_CHECK
// set, presses Check Communication once and says "message" when the message
// that ends the check is up. It answers that message and says "checked",
// unless TALQ_DRIVE_CHECK is "hold": then the message stays up.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"

namespace {

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

QPushButton* CheckCommunicationButton() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* button = window->findChild<QPushButton*>("1001")) return button;
    }
    return nullptr;
}

void Drive() {
    QTimer::singleShot(0, [] {
        Say("shown");
        const char* mode = std::getenv("TALQ_DRIVE_CHECK");
        if (mode == nullptr) return;
        const bool hold = std::string(mode) == "hold";
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&answer, hold] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            Say("message");
            answer.stop();
            if (!hold) box->accept();
        });
        answer.start(50);
        if (QPushButton* button = CheckCommunicationButton()) button->click();
        Say("checked");
    });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Drive)

int main(int argc, char** argv) {
    return talq::app::RunProgram(argc, argv);
}
