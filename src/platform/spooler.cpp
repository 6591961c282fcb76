#include "platform/spooler.h"

#include "platform/posix/cups_spooler.h"
#include "platform/process_wide.h"

namespace talq::platform {
namespace {

ProcessWide<Spooler, posix::CupsSpooler> spooler;

}  // namespace

Spooler& CurrentSpooler() {
    return spooler.Current();
}

Spooler* InstallSpooler(Spooler* replacement) {
    return spooler.Install(replacement);
}

}  // namespace talq::platform
