// Start-up recovery: print queues that an earlier run of the program switched
// and never gave back (it crashed, was killed, or lost its display) get their
// ports back. Both front ends call it first thing.
#pragma once

#include <filesystem>

namespace talq::setup {

// Works through the journals in `directory` that no live process holds, and
// gives back only queues that still print nowhere. A journal whose scheduler
// cannot be reached is kept for the next start.
void RecoverSpoolerQueues(const std::filesystem::path& directory);
// The same in JournalDirectory().
void RecoverSpoolerQueues();

}  // namespace talq::setup
