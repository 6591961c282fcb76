// Log-off and shut-down end the program as closing the dialog does: when the
// session asks its programs to save their work, the print queues get their
// ports back, before the session may end the process without a return from
// the event loop.
#pragma once

#include <QObject>

#include "setup/spooler_redirection.h"

namespace talq::app {

class SessionEndRestore {
  public:
    explicit SessionEndRestore(setup::QueuePorts& queuePorts);
    ~SessionEndRestore();
    SessionEndRestore(const SessionEndRestore&) = delete;
    SessionEndRestore& operator=(const SessionEndRestore&) = delete;

  private:
    QMetaObject::Connection connection_;
};

}  // namespace talq::app
