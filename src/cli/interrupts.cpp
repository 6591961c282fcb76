#include "cli/interrupts.h"

#include <signal.h>
#include <unistd.h>

namespace talq::cli {
namespace {

volatile sig_atomic_t requested = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    if (requested != 0) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    requested = 1;
    constexpr char kNotice[] =
        "\ntalq: stopping: running ports finish their current command and no Set Status "
        "starts (press again to stop at once)\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, kNotice, sizeof kNotice - 1);
}

}  // namespace

void DeferInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

bool InterruptRequested() {
    return requested != 0;
}

}  // namespace talq::cli
