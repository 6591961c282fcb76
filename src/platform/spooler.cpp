#include "platform/spooler.h"

#include "native_backends.h"
#include "platform/process_wide.h"

namespace talq::platform {
namespace {

ProcessWide<Spooler, NativeSpooler> spooler;

}  // namespace

Spooler& CurrentSpooler() {
    return spooler.Current();
}

Spooler* InstallSpooler(Spooler* replacement) {
    return spooler.Install(replacement);
}

}  // namespace talq::platform
