#include "cli/interrupts.h"

#include "platform/deferred_interrupts.h"

namespace talq::cli {

void DeferInterrupts() {
    platform::DeferInterrupts(
        "\ntalq: stopping: running ports finish their current command and no Set Status "
        "starts (press again to stop at once)\n");
}

bool InterruptRequested() {
    return platform::InterruptRequested();
}

}  // namespace talq::cli
