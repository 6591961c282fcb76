#include "platform/replace_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

namespace talq::platform {
namespace {

// O_NONBLOCK only so that a FIFO chosen by mistake cannot hang the caller in open().
constexpr int kOpenInPlace = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK;
constexpr int kOpenTemporary = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
constexpr int kNameAttempts = 64;
// Leaves room for the dot, the suffix and ".tmp" within the 255 bytes a name may have.
constexpr std::size_t kMaxBaseInTemporaryName = 200;

// Closes `fd`; 0 or the errno value of a failed close (which can carry a
// deferred write error).
int CloseReporting(int fd) { return ::close(fd) == 0 ? 0 : errno; }

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        if (written == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

int WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(path.c_str(), kOpenInPlace, 0666);
    if (fd < 0) return errno;
    const int error = WriteAll(fd, bytes) ? 0 : errno;
    const int closeError = CloseReporting(fd);
    return error != 0 ? error : closeError;
}

// The file a path finally names: a symbolic link is followed when its target
// exists.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string resolved = real;
    ::free(real);
    return resolved;
}

// Creates a new, empty file beside `target`; its descriptor, or -1 with errno set.
int CreateTemporary(const std::string& target, std::string& name) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string suffix(8, '0');
        for (char& c : suffix) c = kLetters[pick(random)];
        name = folder + "." + base.substr(0, kMaxBaseInTemporaryName) + "." + suffix + ".tmp";
        // The mode goes through the umask, exactly as for a plain create.
        const int fd = ::open(name.c_str(), kOpenTemporary, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Makes a rename in `target`'s folder last across a crash; best effort.
void SyncFolderOf(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes the temporary file beside `target` and closes it; 0 or the errno value.
int WriteTemporary(const std::string& target, std::span<const std::uint8_t> bytes,
                   std::string& temporary) {
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) return errno;
    int error = WriteAll(fd, bytes) && ::fsync(fd) == 0 ? 0 : errno;
    const int closeError = CloseReporting(fd);
    if (error == 0) error = closeError;
    if (error != 0) ::unlink(temporary.c_str());
    return error;
}

}  // namespace

int CreateNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string temporary;
    if (const int error = WriteTemporary(path, bytes, temporary); error != 0) return error;
    int error = 0;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
        error = errno;
        // A file system that cannot rename so takes a second link, which is refused as well
        // when the name is taken.
        if (error == EINVAL || error == ENOSYS)
            error = ::link(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
        ::unlink(temporary.c_str());
    }
    if (error == 0) SyncFolderOf(path);
    return error;
}

bool NameTaken(int error) {
    return error == EEXIST;
}

int ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string target = ResolveLink(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(target, bytes);

    std::string temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) return errno;
    int error = 0;
    if (exists) {
        // A replaced file keeps its owner where we may give it, and its permissions.
        [[maybe_unused]] const int owned = ::fchown(fd, existing.st_uid, existing.st_gid);
        if (::fchmod(fd, existing.st_mode & 07777) != 0) error = errno;
    }
    if (error == 0 && !WriteAll(fd, bytes)) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    const int closeError = CloseReporting(fd);
    if (error == 0) error = closeError;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    SyncFolderOf(target);
    return 0;
}

}  // namespace talq::platform
