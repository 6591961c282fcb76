// Giving one queue its port back, shared by the end of the program and the
// recovery at the next start.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/spooler.h"
#include "setup/spooler_journal.h"

namespace talq::setup {

enum class RestoreMode {
    Always,          // this program's own switch: give the port back whatever it is now
    OnlyDiscarding,  // another run's: only while the queue still prints nowhere
};

// Gives `queue` of `scheduler` its `previousPort` back, and resumes it when
// the journal says it was paused on switching. The journal entry (if any) is
// dropped once the queue is restored or gone, and kept when the spooler could
// not be asked or refused the change.
void RestoreQueue(platform::Spooler& spooler, const std::string& scheduler, SpoolerJournal& journal,
                  const std::string& queue, const std::string& previousPort, RestoreMode mode);

// Gives back every queue `journal` holds, each on its own scheduler.
void RestoreJournal(SpoolerJournal& journal, RestoreMode mode);

}  // namespace talq::setup
