// Log-off and shut-down end the program as closing the dialog does: when the
// session asks its programs to save their work, the print queues get their
// ports back, before the session may end the process without a return from
// the dialog's loop.
#pragma once

#include "setup/spooler_redirection.h"
#include "ui/dialog.h"

namespace talq::app {

class SessionEndRestore {
  public:
    SessionEndRestore(ui::Dialog& dialog, setup::QueuePorts& queuePorts);
    ~SessionEndRestore();
    SessionEndRestore(const SessionEndRestore&) = delete;
    SessionEndRestore& operator=(const SessionEndRestore&) = delete;

  private:
    ui::Dialog& dialog_;
};

}  // namespace talq::app
