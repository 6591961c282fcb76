#include "platform/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace talq::platform {
namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, kSignals.size()> previous{};
volatile sig_atomic_t writeEnd = -1;

void Catch(int signal) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = write(writeEnd, &number, 1);  // full pipe: one is enough
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    int ends[2];
    if (writeEnd >= 0 || pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readEnd_ = ends[0];
    writeEnd = ends[1];
    struct sigaction action {};
    action.sa_handler = Catch;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &previous[i]);
}

TerminationSignals::~TerminationSignals() {
    if (readEnd_ < 0) return;
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous[i], nullptr);
    close(writeEnd);
    writeEnd = -1;
    close(readEnd_);
}

int TerminationSignals::TakeSignal() {
    int latest = 0;
    unsigned char number = 0;
    while (readEnd_ >= 0 && read(readEnd_, &number, 1) == 1) latest = number;
    return latest;
}

}  // namespace talq::platform
