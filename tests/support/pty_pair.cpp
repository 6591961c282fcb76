#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace talq::test {

PtyPair::PtyPair() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) return;
    const char* name = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || (name = ::ptsname(master)) == nullptr) {
        ::close(master);
        return;
    }
    master_ = master;
    slavePath_ = name;
    keepAlive_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios raw{};
    if (keepAlive_ < 0 || ::tcgetattr(keepAlive_, &raw) != 0) return;
    ::cfmakeraw(&raw);
    if (::tcsetattr(keepAlive_, TCSANOW, &raw) != 0) {
        ::close(keepAlive_);
        keepAlive_ = -1;
    }
}

PtyPair::~PtyPair() {
    if (keepAlive_ >= 0) ::close(keepAlive_);
    CloseMaster();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

bool PtyPair::Write(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd pfd{master_, POLLOUT, 0};
            if (::poll(&pfd, 1, 1000) <= 0) return false;
        } else if (!(n < 0 && errno == EINTR)) {
            return false;
        }
    }
    return done == bytes.size();
}

std::vector<std::uint8_t> PtyPair::Read(std::size_t count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::uint8_t> bytes;
    while (master_ >= 0 && bytes.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd pfd{master_, POLLIN, 0};
        const int rc = ::poll(&pfd, 1, static_cast<int>(left));
        if (rc < 0 && errno == EINTR) continue;
        if (rc <= 0 || !(pfd.revents & POLLIN)) break;
        std::uint8_t buffer[256];
        const std::size_t want = std::min(sizeof buffer, count - bytes.size());
        const ssize_t n = ::read(master_, buffer, want);
        if (n > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
        } else if (!(n < 0 && (errno == EAGAIN || errno == EINTR))) {
            break;
        }
    }
    return bytes;
}

}  // namespace talq::test
