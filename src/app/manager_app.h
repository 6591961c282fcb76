// The application: one application object whose whole life is the modal run
// of the connection dialog.
#pragma once

#include <QApplication>

namespace talq::app {

class ManagerApp {
  public:
    ManagerApp(int& argc, char** argv);

    // Runs the connection dialog modally, then destroys it (which closes the
    // connection and gives the print queues back). Returns 0: the program ends.
    int InitInstance();

  private:
    QApplication application_;
};

}  // namespace talq::app
