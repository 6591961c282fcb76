#include "app/session_end_restore.h"

namespace talq::app {

SessionEndRestore::SessionEndRestore(ui::Dialog& dialog, setup::QueuePorts& queuePorts)
    : dialog_(dialog) {
    // Idempotent, as on a signal: the dialog's own restore later finds
    // nothing left to do, should the session go on after all.
    dialog_.OnSessionEnd([&queuePorts] {
        setup::RestoreSpoolerQueues(queuePorts);
        setup::RestoreAllSpoolerQueues();
    });
}

SessionEndRestore::~SessionEndRestore() { dialog_.OnSessionEnd(nullptr); }

}  // namespace talq::app
