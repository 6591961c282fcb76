#include "setup/spooler_restore.h"

namespace talq::setup {

void RestoreQueue(platform::Spooler& spooler, const std::string& scheduler, SpoolerJournal& journal,
                  const std::string& queue, const std::string& previousPort, RestoreMode mode) {
    const platform::QueueState state = spooler.ReadQueue(queue);
    if (state.lookup == platform::QueueLookup::Failed) return;  // try again later
    if (state.lookup == platform::QueueLookup::Missing) {
        journal.Drop(scheduler, queue);
        return;
    }
    if (mode == RestoreMode::OnlyDiscarding && state.portText != spooler.DiscardPort()) {
        journal.Drop(scheduler, queue);  // someone has set it since: leave it to them
        return;
    }
    if (state.portText != previousPort && !spooler.SetPortText(queue, previousPort)) return;
    const auto entry = journal.Find(scheduler, queue);
    if (entry && entry->pausedByUs && state.paused && !spooler.Resume(queue)) return;
    journal.Drop(scheduler, queue);
}

void RestoreJournal(SpoolerJournal& journal, RestoreMode mode) {
    platform::Spooler& current = platform::CurrentSpooler();
    const std::string currentScheduler = current.Scheduler();
    std::map<std::string, std::unique_ptr<platform::Spooler>> others;
    // Copied: restoring drops entries.
    const std::vector<JournalEntry> entries = journal.Entries();
    for (const JournalEntry& entry : entries) {
        platform::Spooler* spooler = &current;
        if (entry.scheduler != currentScheduler) {
            auto& other = others[entry.scheduler];
            if (!other) other = current.Reach(entry.scheduler);
            spooler = other.get();
        }
        if (spooler == nullptr) continue;  // kept for a start that can reach it
        RestoreQueue(*spooler, entry.scheduler, journal, entry.queue, entry.previousPort, mode);
    }
}

}  // namespace talq::setup
