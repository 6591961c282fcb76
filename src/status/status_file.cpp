#include "status/status_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "status/replace_file.h"

namespace talq::status {
namespace {

// O_NONBLOCK only so that a FIFO chosen by mistake cannot hang the dialog in open().
constexpr int kOpenForLoad = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

// Reads until size bytes or end of file; returns the count, or -1 on a read error.
ssize_t ReadUpTo(int fd, std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

bool Fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

bool FailWithErrno(std::string* reason, int error) {
    return Fail(reason, std::generic_category().message(error));
}

}  // namespace

StatusFileImage EncodeStatusImage(const PrinterStatus& status) {
    StatusFileImage image{};
    for (int index = 0; index < kStatusIntegerCount; ++index) {
        const auto value = static_cast<std::uint32_t>(IntegerAt(status, index));
        for (int byte = 0; byte < 4; ++byte) {
            image[4 * index + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
        }
    }
    return image;
}

PrinterStatus DecodeStatusImage(const std::uint8_t* bytes, std::size_t size) {
    PrinterStatus status;
    if (bytes == nullptr) return status;
    // A trailing partial integer counts as its bytes followed by zeros, as if the rest of the
    // 216-byte buffer had been left cleared.
    StatusFileImage image{};
    const std::size_t used = size < kStatusFileSize ? size : kStatusFileSize;
    for (std::size_t i = 0; i < used; ++i) image[i] = bytes[i];
    for (int index = 0; index < kStatusIntegerCount; ++index) {
        std::uint32_t value = 0;
        for (int byte = 0; byte < 4; ++byte) {
            value |= static_cast<std::uint32_t>(image[4 * index + byte]) << (8 * byte);
        }
        IntegerAt(status, index) = static_cast<std::int32_t>(value);
    }
    return status;
}

bool HasStatusFileName(std::string_view name) {
    return name.size() >= 3 && name.substr(name.size() - 3) == "sts";
}

bool SaveStatusFile(const std::string& path, const PrinterStatus& status, std::string* reason) {
    const StatusFileImage image = EncodeStatusImage(status);
    const int error = ReplaceFileContents(path, image);
    return error == 0 || FailWithErrno(reason, error);
}

bool LoadStatusFile(const std::string& path, PrinterStatus& status, std::string* reason) {
    const int fd = ::open(path.c_str(), kOpenForLoad);
    if (fd < 0) return FailWithErrno(reason, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return FailWithErrno(reason, error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return S_ISDIR(info.st_mode) ? FailWithErrno(reason, EISDIR)
                                     : Fail(reason, kNotARegularFile);
    }
    StatusFileImage image{};
    const ssize_t got = ReadUpTo(fd, image.data(), image.size());
    const int error = errno;
    ::close(fd);
    if (got < 0) return FailWithErrno(reason, error);
    status = DecodeStatusImage(image.data(), static_cast<std::size_t>(got));
    return true;
}

}  // namespace talq::status
