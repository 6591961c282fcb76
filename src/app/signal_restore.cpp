#include "app/signal_restore.h"

#include <QCoreApplication>

namespace talq::app {

SignalRestore::SignalRestore(setup::QueuePorts& queuePorts) : queuePorts_(queuePorts) {
    if (!signals_.Valid()) return;
    notifier_ = std::make_unique<QSocketNotifier>(signals_.fd(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { OnSignal(); });
}

void SignalRestore::OnSignal() {
    const int signal = signals_.TakeSignal();
    if (signal == 0) return;
    caught_ = signal;
    // Idempotent: the record is emptied, so the dialog's own restore at the
    // end finds nothing left to do.
    setup::RestoreSpoolerQueues(queuePorts_);
    setup::RestoreAllSpoolerQueues();
    // Ends every running event loop, nested modal ones included; later modal
    // runs return at once.
    QCoreApplication::exit(0);
}

}  // namespace talq::app
