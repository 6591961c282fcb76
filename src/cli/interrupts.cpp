#include "cli/interrupts.h"

#include "platform/deferred_interrupts.h"

namespace talq::cli {

void DeferInterrupts() {
    platform::DeferInterrupts(
        "\ntalq: stopping once this port is done (press again to stop at once)\n");
}

bool InterruptRequested() {
    return platform::InterruptRequested();
}

}  // namespace talq::cli
