#include "platform/deferred_interrupts.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace talq::platform {
namespace {

volatile sig_atomic_t requested = 0;
const char* noticeText = "";
std::size_t noticeLength = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    if (requested != 0) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    requested = 1;
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, noticeText, noticeLength);
}

}  // namespace

void DeferInterrupts(const char* notice) {
    noticeText = notice;
    noticeLength = std::strlen(notice);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

bool InterruptRequested() {
    return requested != 0;
}

}  // namespace talq::platform
