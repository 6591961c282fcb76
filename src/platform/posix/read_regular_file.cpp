#include "platform/read_regular_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talq::platform {
namespace {

// O_NONBLOCK only so that a FIFO chosen by mistake cannot hang the caller in open().
constexpr int kOpenForRead = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

// Reads until the buffer is full or the file ends; the count, or -1 on a read error.
ssize_t ReadUpTo(int fd, std::span<std::uint8_t> buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

}  // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::span<std::uint8_t> buffer) {
    RegularFileRead result;
    const int fd = ::open(path.c_str(), kOpenForRead);
    if (fd < 0) {
        result.error = errno;
        result.missing = errno == ENOENT;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        result.regular = false;
        if (S_ISDIR(info.st_mode)) result.error = EISDIR;
    } else if (const ssize_t got = ReadUpTo(fd, buffer); got < 0) {
        result.error = errno;
    } else {
        result.count = static_cast<std::size_t>(got);
    }
    ::close(fd);
    return result;
}

}  // namespace talq::platform
