// SIGINT, SIGTERM and SIGHUP end the program as closing the dialog does: the
// print queues get their ports back first. The handler only writes to a pipe;
// the restore runs from whichever loop is running (possibly a nested modal
// one), after which every loop of the program ends.
#pragma once

#include <memory>

#include "platform/termination_signals.h"
#include "setup/spooler_redirection.h"
#include "ui/event_watch.h"

namespace talq::app {

class SignalRestore {
  public:
    explicit SignalRestore(setup::QueuePorts& queuePorts);

    // The signal that ended the program, or 0.
    int CaughtSignal() const { return caught_; }

  private:
    void OnSignal();

    setup::QueuePorts& queuePorts_;
    platform::TerminationSignals signals_;
    std::unique_ptr<ui::EventWatch> watch_;
    int caught_ = 0;
};

}  // namespace talq::app
