#include "app/session_end_restore.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace talq::app {

SessionEndRestore::SessionEndRestore(setup::QueuePorts& queuePorts) {
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (application == nullptr) return;
    // Idempotent, as on a signal: the dialog's own restore later finds
    // nothing left to do, should the session go on after all.
    connection_ = QObject::connect(application, &QGuiApplication::commitDataRequest,
                                   [&queuePorts](QSessionManager&) {
                                       setup::RestoreSpoolerQueues(queuePorts);
                                       setup::RestoreAllSpoolerQueues();
                                   });
}

SessionEndRestore::~SessionEndRestore() { QObject::disconnect(connection_); }

}  // namespace talq::app
