// Print queues that print to the port being checked are moved off it while the program runs
// and given their ports back at the end.
#pragma once

#include <map>
#include <string>

namespace talq::setup {

// Queue name -> the port text the queue had before it was first switched.
using QueuePorts = std::map<std::string, std::string>;

// Switches every local queue on the device that `portName` (a COM or LPT name) maps to, and
// records each matching queue in `queuePorts`. Silent on every failure.
void RedirectSpoolerQueues(const std::string& portName, QueuePorts& queuePorts);

// Gives every recorded queue its port back and empties the record. Silent on every failure.
void RestoreSpoolerQueues(QueuePorts& queuePorts);

}  // namespace talq::setup
