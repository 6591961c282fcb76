// Print queues that print to the port being checked are moved off it while the
// program runs and given their ports back at the end. A moved queue is also
// paused, so the jobs sent to it meanwhile wait instead of going nowhere; and
// every move is journalled first (see spooler_journal.h), so a crash cannot
// leave a queue moved for good.
#pragma once

#include <map>
#include <string>

#include "setup/spooler_journal.h"

namespace talq::setup {

// Queue name -> the port text the queue had before it was first switched.
using QueuePorts = std::map<std::string, std::string>;

// Switches every local queue on the device that `portName` (a COM or LPT name) maps to, and
// records each matching queue in `queuePorts`. Silent on every failure.
void RedirectSpoolerQueues(const std::string& portName, QueuePorts& queuePorts);

// Gives every recorded queue its port back and empties the record. Silent on every failure.
void RestoreSpoolerQueues(QueuePorts& queuePorts);

// Gives back every queue this program has switched and not yet given back, for
// an end that does not pass through the dialog (a signal). Safe to repeat, and
// a RestoreSpoolerQueues afterwards changes nothing more.
void RestoreAllSpoolerQueues();

// Whether this program holds `queue` (it switched the queue and journalled it): only then can
// the port the queue gets back be changed.
bool HoldsQueue(const std::string& queue);

// Gives the held `queue` another port text to get back (the same device at other line
// settings), journalled first, so that a recovery after a crash gives back this one; and
// records it in `queuePorts`. False, changing nothing, when the queue is not held or the
// journal cannot be written.
bool ChangeHeldQueuePort(const std::string& queue, const std::string& portText,
                         QueuePorts& queuePorts);

// The same over a given journal.
void RedirectSpoolerQueues(const std::string& portName, QueuePorts& queuePorts,
                           SpoolerJournal& journal);
void RestoreSpoolerQueues(QueuePorts& queuePorts, SpoolerJournal& journal);
void RestoreAllSpoolerQueues(SpoolerJournal& journal);
bool ChangeHeldQueuePort(const std::string& queue, const std::string& portText,
                         QueuePorts& queuePorts, SpoolerJournal& journal);

}  // namespace talq::setup
