#include "platform/posix/timed_read.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace talq::platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

enum class Wait { Ready, TimedOut, HungUp, Failed };

// Waits for `events` until `deadline`; EINTR resumes with the time left.
Wait WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return Wait::TimedOut;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd pfd{fd, events, 0};
        const int rc = ppoll(&pfd, 1, &ts, nullptr);
        if (rc < 0) {
            if (errno == EINTR) continue;
            return Wait::Failed;
        }
        if (rc == 0) return Wait::TimedOut;
        if (pfd.revents & events) return Wait::Ready;
        if (pfd.revents & POLLHUP) return Wait::HungUp;
        return Wait::Failed;
    }
}

std::chrono::milliseconds Ms(std::int64_t ms) { return std::chrono::milliseconds(ms); }

}  // namespace

IoResult TimedRead(int fd, std::uint8_t* buffer, int count, const CommTimeouts& timeouts) {
    IoResult result;
    const auto start = Clock::now();
    const bool untimed = timeouts.readIntervalMs == 0 && timeouts.readTotalMultiplierMs == 0 &&
                         timeouts.readTotalConstantMs == 0;
    if (untimed) {
        const Wait w = WaitFor(fd, POLLIN, start + Ms(kUntimedReadMs));
        if (w == Wait::TimedOut) {
            result.ok = true;
            return result;
        }
        if (w == Wait::HungUp) {
            result.hangUp = true;
            return result;
        }
        const ssize_t n = ::read(fd, buffer, static_cast<std::size_t>(count));
        if (n > 0) {
            result.ok = true;
            result.count = static_cast<int>(n);
        } else if (n == 0 || errno == EIO) {
            result.hangUp = true;
        } else {
            result.ok = (errno == EAGAIN);
        }
        return result;
    }

    const auto totalDeadline =
        start + Ms(std::int64_t{timeouts.readTotalMultiplierMs} * count +
                   timeouts.readTotalConstantMs);
    const bool hasTotal = timeouts.readTotalMultiplierMs != 0 || timeouts.readTotalConstantMs != 0;
    Clock::time_point lastByte{};
    result.ok = true;
    while (result.count < count) {
        auto deadline = hasTotal ? totalDeadline : Clock::time_point::max();
        if (result.count > 0 && timeouts.readIntervalMs != 0) {
            // "More than" the interval: a gap of exactly the interval still counts.
            const auto gapEnd = lastByte + Ms(timeouts.readIntervalMs) + std::chrono::microseconds(500);
            if (gapEnd < deadline) deadline = gapEnd;
        }
        if (deadline == Clock::time_point::max()) deadline = start + Ms(kUntimedReadMs);
        const Wait w = WaitFor(fd, POLLIN, deadline);
        if (w == Wait::TimedOut) break;
        if (w != Wait::Ready) {
            result.hangUp = (w == Wait::HungUp);
            result.ok = false;
            break;
        }
        const ssize_t n = ::read(fd, buffer + result.count, static_cast<std::size_t>(count - result.count));
        if (n > 0) {
            result.count += static_cast<int>(n);
            lastByte = Clock::now();
        } else if (n == 0 || errno == EIO) {
            result.hangUp = true;
            result.ok = false;
            break;
        } else if (errno != EAGAIN && errno != EINTR) {
            result.ok = false;
            break;
        }
    }
    return result;
}

IoResult BoundedWrite(int fd, const std::uint8_t* data, int count, int stallMs) {
    IoResult result;
    auto stallDeadline = Clock::now() + Ms(stallMs);
    while (result.count < count) {
        const ssize_t n = ::write(fd, data + result.count, static_cast<std::size_t>(count - result.count));
        if (n > 0) {
            result.count += static_cast<int>(n);
            stallDeadline = Clock::now() + Ms(stallMs);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            result.hangUp = (errno == EIO);
            return result;
        }
        const Wait w = WaitFor(fd, POLLOUT, stallDeadline);
        if (w == Wait::HungUp) {
            result.hangUp = true;
            return result;
        }
        if (w != Wait::Ready) return result;
    }
    result.ok = true;
    return result;
}

}  // namespace talq::platform::posix
