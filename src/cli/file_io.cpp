#include "cli/file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace talq::cli {
namespace {

std::string SystemReason() {
    return std::strerror(errno);
}

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::size_t maxBytes, std::string& error) {
    // O_NONBLOCK: a FIFO given by mistake must not hang the run in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = SystemReason();
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "not a regular file";
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(maxBytes + 1);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = SystemReason();
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    static int serial = 0;
    const std::string temporary =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = SystemReason();
        return false;
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!written) error = SystemReason();
    // close() can report a deferred write error.
    const bool closed = ::close(fd) == 0;
    if (written && !closed) error = SystemReason();
    if (written && closed && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    if (written && closed) error = SystemReason();
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace talq::cli
