#include "app/manager_app.h"

#include <cstdio>
#include <cstdlib>

#include "app/environment_trace.h"
#include "app/session_end_restore.h"
#include "app/signal_restore.h"
#include "gui/main_dialog.h"
#include "gui/resources.h"
#include "platform/utf8_names.h"
#include "ui/prompts.h"

namespace talq::app {

ManagerApp::ManagerApp(int& argc, char** argv)
    : arguments_(platform::CommandLineArguments(argc, argv)),
      application_(argc, argv, &gui::IconDrawing, gui::kIconApplication) {}

int ManagerApp::InitInstance() {
    const EnvironmentTrace trace(arguments_);
    if (!trace.Failure().empty()) {
        std::fprintf(stderr, "talq-manager: %s\n", trace.Failure().c_str());
        ui::MessageBox(nullptr, trace.Failure(), ui::MessageIcon::Exclamation);
        return 1;
    }
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
