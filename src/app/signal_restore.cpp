#include "app/signal_restore.h"

#include "ui/application.h"

namespace talq::app {

SignalRestore::SignalRestore(setup::QueuePorts& queuePorts) : queuePorts_(queuePorts) {
    if (!signals_.Valid()) return;
    watch_ = ui::WatchDescriptor(signals_.fd(), [this] { OnSignal(); });
}

void SignalRestore::OnSignal() {
    const int signal = signals_.TakeSignal();
    if (signal == 0) return;
    caught_ = signal;
    // Idempotent: the record is emptied, so the dialog's own restore at the
    // end finds nothing left to do.
    setup::RestoreSpoolerQueues(queuePorts_);
    setup::RestoreAllSpoolerQueues();
    // Ends every running loop, nested modal ones included; later modal runs
    // return at once.
    ui::QuitApplication();
}

}  // namespace talq::app
