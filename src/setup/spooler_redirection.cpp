#include "setup/spooler_redirection.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/network_address.h"
#include "platform/platform.h"
#include "platform/spooler.h"
#include "setup/spooler_restore.h"

namespace talq::setup {
namespace {

// The queues this process holds, and for how many ports: two ports can share a queue (a pooled
// queue printing to "COM1:,COM2:", or two port names mapped to one device). The first port
// switches it, the others only count, and the last one done gives it back, with the port and
// state it had before the first.
struct Hold {
    std::string previousPort;
    int holders = 0;
};
std::mutex holdsGuard;
std::map<std::pair<std::string, std::string>, Hold> holds;  // by scheduler and queue

bool IsLinePortName(const std::string& portName) {
    return portName.rfind("COM", 0) == 0 || portName.rfind("LPT", 0) == 0;
}

// Pauses the queue (unless it is paused already) and then points it nowhere,
// journalled first. False only when the journal cannot be written: then the
// queue is left as it is, since a crash would leave it switched for good.
bool SwitchQueue(platform::Spooler& spooler, const std::string& scheduler, SpoolerJournal& journal,
                 const std::string& queue, const std::string& previousPort,
                 const platform::QueueState& state) {
    const JournalEntry entry{scheduler, queue, previousPort, !state.paused};
    if (!journal.Add(entry)) return false;
    if (entry.pausedByUs && !spooler.Pause(queue)) {
        journal.Drop(scheduler, queue);
        return true;
    }
    if (!spooler.SetPortText(queue, spooler.DiscardPort())) {
        if (entry.pausedByUs) spooler.Resume(queue);
        journal.Drop(scheduler, queue);
    }
    return true;
}

}  // namespace

void RedirectSpoolerQueues(const std::string& portName, QueuePorts& queuePorts,
                           SpoolerJournal& journal) {
    if (!IsLinePortName(portName)) return;
    // A printer behind a device server shares no device with a local queue.
    if (platform::IsNetworkAddress(platform::DevicePathForPort(portName))) return;
    platform::Spooler& spooler = platform::CurrentSpooler();
    const std::string match = spooler.PortMatchText(portName);
    if (match.empty()) return;  // would match every queue
    const std::string scheduler = spooler.Scheduler();
    const std::lock_guard lock(holdsGuard);
    // A queue held for another port already prints nowhere now: its port before tells.
    for (auto& [key, hold] : holds) {
        if (key.first != scheduler || queuePorts.contains(key.second)) continue;
        if (!spooler.PrintsTo(hold.previousPort, match)) continue;
        ++hold.holders;
        queuePorts[key.second] = hold.previousPort;
    }
    const auto queues = spooler.LocalQueues();
    if (!queues) return;

    // Once a queue cannot be read, later queues of this call are still
    // recorded but left on their ports.
    bool success = true;
    for (const platform::SpoolerQueue& queue : *queues) {
        if (holds.contains({scheduler, queue.name})) continue;
        if (!spooler.PrintsTo(queue.portText, match)) continue;
        queuePorts[queue.name] = queue.portText;
        const platform::QueueState state = spooler.ReadQueue(queue.name);
        if (state.lookup == platform::QueueLookup::Missing) continue;
        if (state.lookup == platform::QueueLookup::Failed) {
            success = false;
            continue;
        }
        if (success) {
            success = SwitchQueue(spooler, scheduler, journal, queue.name, queue.portText, state);
            if (journal.Find(scheduler, queue.name)) {
                holds[{scheduler, queue.name}] = {queue.portText, 1};
            }
        }
    }
}

void RestoreSpoolerQueues(QueuePorts& queuePorts, SpoolerJournal& journal) {
    if (queuePorts.empty()) return;
    platform::Spooler& spooler = platform::CurrentSpooler();
    const std::string scheduler = spooler.Scheduler();
    const std::lock_guard lock(holdsGuard);
    for (const auto& [queue, previousPort] : queuePorts) {
        std::string port = previousPort;
        const auto held = holds.find({scheduler, queue});
        if (held != holds.end()) {
            if (--held->second.holders > 0) continue;  // another port still uses the printer
            port = held->second.previousPort;          // as the last change of it left it
            holds.erase(held);
        }
        RestoreQueue(spooler, scheduler, journal, queue, port, RestoreMode::Always);
    }
    queuePorts.clear();
}

void RestoreAllSpoolerQueues(SpoolerJournal& journal) {
    const std::lock_guard lock(holdsGuard);
    holds.clear();
    RestoreJournal(journal, RestoreMode::Always);
}

bool HoldsQueue(const std::string& queue) {
    const std::string scheduler = platform::CurrentSpooler().Scheduler();
    const std::lock_guard lock(holdsGuard);
    return holds.contains({scheduler, queue});
}

bool ChangeHeldQueuePort(const std::string& queue, const std::string& portText,
                         QueuePorts& queuePorts, SpoolerJournal& journal) {
    const std::string scheduler = platform::CurrentSpooler().Scheduler();
    const std::lock_guard lock(holdsGuard);
    const auto held = holds.find({scheduler, queue});
    std::optional<JournalEntry> entry = journal.Find(scheduler, queue);
    if (held == holds.end() || !entry) return false;
    entry->previousPort = portText;
    if (!journal.Add(*entry)) return false;
    held->second.previousPort = portText;
    queuePorts[queue] = portText;
    return true;
}

bool ChangeHeldQueuePort(const std::string& queue, const std::string& portText,
                         QueuePorts& queuePorts) {
    return ChangeHeldQueuePort(queue, portText, queuePorts, ProcessJournal());
}

void RedirectSpoolerQueues(const std::string& portName, QueuePorts& queuePorts) {
    RedirectSpoolerQueues(portName, queuePorts, ProcessJournal());
}

void RestoreSpoolerQueues(QueuePorts& queuePorts) {
    RestoreSpoolerQueues(queuePorts, ProcessJournal());
}

void RestoreAllSpoolerQueues() {
    RestoreAllSpoolerQueues(ProcessJournal());
}

}  // namespace talq::setup
