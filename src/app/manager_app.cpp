#include "app/manager_app.h"

#include <QTimer>
#include <cstdlib>

#include "app/signal_restore.h"
#include "gui/main_dialog.h"
#include "gui/resources.h"
#include "ui/prompts.h"

namespace talq::app {

ManagerApp::ManagerApp(int& argc, char** argv) : application_(argc, argv) {
    // Every message box is captioned with the program file's name.
    QApplication::setApplicationName(QString::fromStdString(ui::ApplicationName()));
    QApplication::setWindowIcon(gui::LoadIcon(gui::kIconApplication));
}

int ManagerApp::InitInstance() {
    {
        gui::MainDialog dialog;
        SignalRestore onSignal(dialog.queuePorts);
        // For start-up measurements: end as soon as the dialog is up.
        if (std::getenv("TALQ_QUIT_WHEN_SHOWN") != nullptr) {
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.EndDialog(ui::kIdCancel); });
        }
        dialog.DoModal();
        caughtSignal_ = onSignal.CaughtSignal();
    }
    return 0;
}

}  // namespace talq::app
