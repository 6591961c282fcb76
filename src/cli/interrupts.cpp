#include "cli/interrupts.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace talq::cli {
namespace {

// Read by every port's thread, so atomic; lock-free, so the handler may set it.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    if (requested.exchange(true)) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    // The interrupted code may be about to look at errno.
    const int savedErrno = errno;
    constexpr char kNotice[] =
        "\ntalq: stopping: running ports finish their current command and no Set Status "
        "starts (press again to stop at once)\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, kNotice, sizeof kNotice - 1);
    errno = savedErrno;
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
    return requested.load();
}

}  // namespace talq::cli
