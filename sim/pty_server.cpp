#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <vector>

namespace talq::sim {

PtyServer::~PtyServer() {
    if (slaveKeepAlive_ >= 0) ::close(slaveKeepAlive_);
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::Open() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) return false;
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return false;
    const char* name = ::ptsname(master_);
    if (name == nullptr) return false;
    slavePath_ = name;
    // Holding the slave open keeps the master from seeing a hang-up (and poll
    // from spinning on it) while no client is connected.
    slaveKeepAlive_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slaveKeepAlive_ < 0) return false;
    // A printer's line carries bytes, not a terminal's lines and echoes.
    termios raw{};
    if (::tcgetattr(slaveKeepAlive_, &raw) != 0) return false;
    ::cfmakeraw(&raw);
    return ::tcsetattr(slaveKeepAlive_, TCSANOW, &raw) == 0;
}

std::int64_t PtyServer::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool PtyServer::Run(int stopFd) {
    for (;;) {
        const std::int64_t now = NowMs();
        for (std::uint8_t b : printer_.TakeReady(now)) unsent_.push_back(b);
        if (!PumpOutput()) return false;

        // Sleep until input, a stop, room for unsent bytes or the next slow reply.
        int timeout = -1;
        if (const auto next = printer_.NextOutputMs()) {
            timeout = static_cast<int>(std::clamp<std::int64_t>(*next - now, 0, 60000));
        }
        short masterEvents = POLLIN;
        if (!unsent_.empty()) masterEvents |= POLLOUT;
        pollfd fds[2] = {{master_, masterEvents, 0}, {stopFd, POLLIN, 0}};
        const int rc = ::poll(fds, 2, timeout);
        if (rc < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (fds[1].revents != 0) return true;
        if (fds[0].revents & POLLIN) {
            if (!PumpInput()) return false;
        } else if (fds[0].revents & (POLLERR | POLLNVAL)) {
            return false;
        }
    }
}

bool PtyServer::PumpInput() {
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            printer_.Receive(buffer, static_cast<std::size_t>(n), NowMs());
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EAGAIN: all read. EIO: no client right now; the keep-alive slave
        // makes that transient.
        return n < 0 && (errno == EAGAIN || errno == EIO);
    }
}

bool PtyServer::PumpOutput() {
    while (!unsent_.empty()) {
        const std::vector<std::uint8_t> chunk(unsent_.begin(),
                                              unsent_.begin() + std::min<std::size_t>(unsent_.size(), 256));
        const ssize_t n = ::write(master_, chunk.data(), chunk.size());
        if (n > 0) {
            unsent_.erase(unsent_.begin(), unsent_.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && errno == EAGAIN;  // full: poll says when there is room
    }
    return true;
}

}  // namespace talq::sim
