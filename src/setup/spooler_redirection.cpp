#include "setup/spooler_redirection.h"

namespace talq::setup {

// Placeholder until the spooler backend lands: no queue is ever switched.
void RedirectSpoolerQueues(const std::string&, QueuePorts&) {}

void RestoreSpoolerQueues(QueuePorts& queuePorts) { queuePorts.clear(); }

}  // namespace talq::setup
