// talq-manager as it is, driven from inside for tests of the whole program:
// it says "shown" once the connection dialog runs and, with TALQ_DRIVE_CHECK
// set, presses Check Communication once and says "message" when the message
// that ends the check is up. It answers that message and says "checked",
// unless TALQ_DRIVE_CHECK is "hold": then the message stays up. With
// TALQ_DRIVE_SESSION set it then takes the session manager's words from its
// standard input, a line each: "ask" asks to save before the session ends (a
// question another program may still cancel), "end" ends the session.
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSessionManager>
#include <QSocketNotifier>
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

// As Qt's session management delivers them: the question as commitDataRequest with the
// application's session manager, the end as a Quit event to the application.
void TakeSessionWords() {
    auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
    QObject::connect(input, &QSocketNotifier::activated, input, [input] {
        char line[64];
        const ssize_t n = read(STDIN_FILENO, line, sizeof line);
        if (n <= 0) {
            input->setEnabled(false);
            return;
        }
        const std::string word(line, static_cast<std::size_t>(n));
        if (word.starts_with("ask")) {
            auto* manager = qApp->findChild<QSessionManager*>();
            if (manager == nullptr) return Say("no session manager");
            emit qApp->commitDataRequest(*manager);
            Say("asked");
        } else if (word.starts_with("end")) {
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(qApp, &quit);
        }
    });
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
        if (std::getenv("TALQ_DRIVE_SESSION") != nullptr) TakeSessionWords();
    });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Drive)

int main(int argc, char** argv) {
    return talq::app::RunProgram(argc, argv);
}
