#include "platform/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

namespace talq::platform {
namespace {

// The open file is still the one at `file` (not removed or replaced by
// another process between opening and locking it).
bool StillLinked(int fd, const std::filesystem::path& file) {
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && stat(file.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool Lock(int fd, const std::filesystem::path& file) {
    return flock(fd, LOCK_EX | LOCK_NB) == 0 && StillLinked(fd, file);
}

}  // namespace

LockedFile::~LockedFile() {
    if (handle_ != kNone) close(static_cast<int>(handle_));
}

std::optional<LockedFile> LockedFile::CreateUnique(const std::filesystem::path& folder,
                                                   std::string_view prefix,
                                                   std::string_view suffix) {
    // Another process may take over and remove a file it finds unlocked and
    // empty, between our making and our locking it: then make another.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string pattern =
            (folder / (std::string(prefix) + "XXXXXX" + std::string(suffix))).string();
        const int fd =
            mkostemps(pattern.data(), static_cast<int>(suffix.size()), O_APPEND | O_CLOEXEC);
        if (fd < 0) return std::nullopt;
        if (Lock(fd, pattern)) return LockedFile(pattern, fd);
        close(fd);
    }
    return std::nullopt;
}

std::optional<LockedFile> LockedFile::HoldExisting(const std::filesystem::path& file) {
    const int fd = open(file.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return std::nullopt;
    if (!Lock(fd, file)) {
        close(fd);
        return std::nullopt;
    }
    return LockedFile(file, fd);
}

std::optional<LockedFile> LockedFile::HoldWaiting(const std::filesystem::path& file, int waitMs) {
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!Lock(fd, file)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            close(fd);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return LockedFile(file, fd);
}

std::string LockedFile::ReadAll() {
    std::string text;
    char buffer[4096];
    for (off_t offset = 0;;) {
        const ssize_t n = pread(static_cast<int>(handle_), buffer, sizeof buffer, offset);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
    return text;
}

bool LockedFile::AppendDurably(std::string_view bytes) {
    const int fd = static_cast<int>(handle_);
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    return n == static_cast<ssize_t>(bytes.size()) && fdatasync(fd) == 0;
}

void LockedFile::Remove() {
    unlink(path_.c_str());
}

}  // namespace talq::platform
