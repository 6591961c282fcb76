#include "setup/spooler_recovery.h"

#include "setup/spooler_journal.h"
#include "setup/spooler_restore.h"

namespace talq::setup {

void RecoverSpoolerQueues(const std::filesystem::path& directory) {
    if (directory.empty()) return;
    for (const auto& file : SpoolerJournal::FilesIn(directory)) {
        std::optional<SpoolerJournal> stale = SpoolerJournal::TakeOver(file);
        if (stale) RestoreJournal(*stale, RestoreMode::OnlyDiscarding);
    }
}

void RecoverSpoolerQueues() {
    RecoverSpoolerQueues(JournalDirectory());
}

}  // namespace talq::setup
