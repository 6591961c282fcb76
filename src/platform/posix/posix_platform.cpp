#include "platform/posix/posix_platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/termios_settings.h"
#include "platform/posix/timed_read.h"

namespace talq::platform::posix {
namespace {

// The slave side of a Unix 98 pseudo-terminal (majors 136 to 143).
bool PseudoTerminal(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
           major(st.st_rdev) <= 143;
}

}  // namespace

DeviceHandle PosixPlatform::OpenDevice(const std::string& path) {
    if (path.empty()) return kNoDevice;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return kNoDevice;
    // TIOCEXCL keeps other users out of a terminal, but root passes it; the
    // lock keeps out every cooperating opener, root included.
    if (::isatty(fd)) ::ioctl(fd, TIOCEXCL);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return kNoDevice;
    }
    std::lock_guard lock(mutex_);
    timeouts_[fd] = CommTimeouts{};
    return fd;
}

void PosixPlatform::CloseDevice(DeviceHandle device) {
    if (device == kNoDevice) return;
    {
        std::lock_guard lock(mutex_);
        timeouts_.erase(device);
    }
    const int fd = static_cast<int>(device);
    if (::isatty(fd)) ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

bool PosixPlatform::ApplyLineSettings(DeviceHandle device, const LineSettings& settings) {
    const int fd = static_cast<int>(device);
    termios current{};
    if (::tcgetattr(fd, &current) != 0) return false;
    const auto wanted = ConfigureSerial(current, settings);
    if (!wanted) return false;
    // The C library reads the settings back and fails with EINVAL when the character size or
    // parity did not stay. A pseudo-terminal never keeps them (Linux stores CS8 without
    // PARENB, whatever is set) but takes the rest, so there that is no refusal.
    if (::tcsetattr(fd, TCSANOW, &wanted->attributes) != 0 &&
        !(errno == EINVAL && PseudoTerminal(fd))) {
        return false;
    }
    // tcsetattr succeeds when any part was taken; the speed must have been.
    termios applied{};
    if (::tcgetattr(fd, &applied) != 0) return false;
    if (cfgetospeed(&applied) != cfgetospeed(&wanted->attributes)) return false;

    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) == 0) {
        lines = (lines | wanted->modemLinesOn) & ~wanted->modemLinesOff;
        if (::ioctl(fd, TIOCMSET, &lines) != 0 && errno != ENOTTY && errno != EINVAL) return false;
    } else if (errno != ENOTTY && errno != EINVAL) {
        return false;  // a device without modem lines (a pseudo-terminal) is fine
    }
    return true;
}

bool PosixPlatform::SetTimeouts(DeviceHandle device, const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    auto it = timeouts_.find(device);
    if (it == timeouts_.end()) return false;
    it->second = timeouts;
    return true;
}

bool PosixPlatform::Purge(DeviceHandle device) {
    return ::tcflush(static_cast<int>(device), TCIOFLUSH) == 0;
}

// Writes are synchronous down to the driver, so there is nothing buffered
// above it to push; waiting in tcdrain could hang on a stopped line.
bool PosixPlatform::Flush(DeviceHandle device) {
    return device != kNoDevice;
}

void PosixPlatform::CancelIo(DeviceHandle) {}

IoResult PosixPlatform::Write(DeviceHandle device, const std::uint8_t* data, int count) {
    if (device == kNoDevice) return {};
    return BoundedWrite(static_cast<int>(device), data, count, kWriteStallMs);
}

IoResult PosixPlatform::Read(DeviceHandle device, std::uint8_t* buffer, int count) {
    if (device == kNoDevice) return {};
    return TimedRead(static_cast<int>(device), buffer, count, TimeoutsOf(device));
}

void PosixPlatform::Pause(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec request{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::clock_nanosleep(CLOCK_MONOTONIC, 0, &request, &request) == EINTR) {
    }
}

std::int64_t PosixPlatform::NowMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

CommTimeouts PosixPlatform::TimeoutsOf(DeviceHandle device) {
    std::lock_guard lock(mutex_);
    auto it = timeouts_.find(device);
    return it == timeouts_.end() ? CommTimeouts{} : it->second;
}

}  // namespace talq::platform::posix
