#include "setup/spooler_redirection.h"

#include "platform/spooler.h"
#include "setup/spooler_restore.h"

namespace talq::setup {
namespace {

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
    platform::Spooler& spooler = platform::CurrentSpooler();
    const std::string match = spooler.PortMatchText(portName);
    if (match.empty()) return;  // would match every queue
    const auto queues = spooler.LocalQueues();
    if (!queues) return;
    const std::string scheduler = spooler.Scheduler();

    // Once a queue cannot be read, later queues of this call are still
    // recorded but left on their ports.
    bool success = true;
    for (const platform::SpoolerQueue& queue : *queues) {
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
        }
    }
}

void RestoreSpoolerQueues(QueuePorts& queuePorts, SpoolerJournal& journal) {
    if (queuePorts.empty()) return;
    platform::Spooler& spooler = platform::CurrentSpooler();
    const std::string scheduler = spooler.Scheduler();
    for (const auto& [queue, previousPort] : queuePorts) {
        RestoreQueue(spooler, scheduler, journal, queue, previousPort, RestoreMode::Always);
    }
    queuePorts.clear();
}

void RestoreAllSpoolerQueues(SpoolerJournal& journal) {
    RestoreJournal(journal, RestoreMode::Always);
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
