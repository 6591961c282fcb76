#include "platform/deferred_interrupts.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace talq::platform {
namespace {

// Read by every port's thread, so atomic; lock-free, so the handler may set it.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> noticeHeld{false};
const char* noticeText = "";
std::size_t noticeLength = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    if (requested.exchange(true)) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    if (noticeHeld) return;
    // The interrupted code may be about to look at errno.
    const int savedErrno = errno;
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, noticeText, noticeLength);
    errno = savedErrno;
}

}  // namespace

// Signals are held until the run ends on its own, which gives the queues back: there is no
// deadline to meet.
void DeferInterrupts(const char* notice, void (*)()) {
    noticeText = notice;
    noticeLength = std::strlen(notice);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
    // A closed output (talq ... | head) must not end the program in the middle of an
    // exchange: a write to it fails instead, and the run says so at its end.
    ::signal(SIGPIPE, SIG_IGN);
}

void HoldInterruptNotice(bool held) {
    noticeHeld = held;
}

void RunFinished() {}

bool InterruptRequested() {
    return requested != 0;
}

}  // namespace talq::platform
