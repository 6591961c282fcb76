#include "app/manager_app.h"

#include <cstdlib>

#include "app/session_end_restore.h"
#include "app/signal_restore.h"
#include "gui/main_dialog.h"
#include "gui/resources.h"

namespace talq::app {

ManagerApp::ManagerApp(int& argc, char** argv)
    : application_(argc, argv, &gui::IconDrawing, gui::kIconApplication) {}

int ManagerApp::InitInstance() {
    {
        gui::MainDialog dialog;
        SignalRestore onSignal(dialog.queuePorts);
        SessionEndRestore onSessionEnd(dialog, dialog.queuePorts);
        // For start-up measurements: the dialog ends once it has been painted.
        if (std::getenv("TALQ_QUIT_WHEN_SHOWN") != nullptr) application_.EndWhenShown(dialog);
        dialog.DoModal();
        caughtSignal_ = onSignal.CaughtSignal();
    }
    return 0;
}

}  // namespace talq::app
