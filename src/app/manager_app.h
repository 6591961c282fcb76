// The application: one application object whose whole life is the modal run
// of the connection dialog.
#pragma once

#include <string>
#include <vector>

#include "ui/application.h"

namespace talq::app {

class ManagerApp {
  public:
    ManagerApp(int& argc, char** argv);

    // Runs the connection dialog modally, then destroys it (which closes the
    // connection and gives the print queues back). Returns 0: the program ends;
    // 1 when the trace that TALQ_TRACE asks for cannot be made (nothing ran).
    int InitInstance();

    // The signal that ended the dialog's run early, or 0.
    int CaughtSignal() const { return caughtSignal_; }

  private:
    std::vector<std::string> arguments_;
    ui::Application application_;
    int caughtSignal_ = 0;
};

}  // namespace talq::app
