#include "cli/interrupts.h"

#include "platform/deferred_interrupts.h"
#include "setup/spooler_redirection.h"

namespace talq::cli {

const char* InterruptNotice() {
    return "\ntalq: stopping: running ports finish their current command and no Set Status "
           "starts (press again to stop at once)\n";
}

void DeferInterrupts() {
    platform::DeferInterrupts(InterruptNotice(), [] { setup::RestoreAllSpoolerQueues(); });
}

void RunFinished() {
    platform::RunFinished();
}

void HoldInterruptNotice(bool held) {
    platform::HoldInterruptNotice(held);
}

bool InterruptRequested() {
    return platform::InterruptRequested();
}

}  // namespace talq::cli
