// A small file that one process holds under an exclusive lock for as long as it
// keeps it open, so that another process can tell a live holder's file from one
// a crashed or killed process left behind. The lock ends with the process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace talq::platform {

class LockedFile {
  public:
    // A new file named prefix + a unique part + suffix in `folder`, held.
    static std::optional<LockedFile> CreateUnique(const std::filesystem::path& folder,
                                                  std::string_view prefix, std::string_view suffix);
    // The existing file, held; nullopt when it is gone or another holder has it.
    static std::optional<LockedFile> HoldExisting(const std::filesystem::path& file);
    // The file, made when missing, held once its holder lets go; nullopt when it cannot be
    // made or is still held after `waitMs`. For short edits that must not overlap.
    static std::optional<LockedFile> HoldWaiting(const std::filesystem::path& file, int waitMs);

    LockedFile(LockedFile&& other) noexcept
        : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, kNone)) {}
    // The file given up is released when `other` ends.
    LockedFile& operator=(LockedFile&& other) noexcept {
        path_.swap(other.path_);
        std::swap(handle_, other.handle_);
        return *this;
    }
    LockedFile(const LockedFile&) = delete;
    ~LockedFile();  // releases the lock; the file stays

    const std::filesystem::path& Path() const { return path_; }
    std::string ReadAll();
    // Appends at the end and returns once the bytes are on the disk.
    bool AppendDurably(std::string_view bytes);
    // Removes the file; it stays held until this object ends.
    void Remove();

  private:
    static constexpr std::intptr_t kNone = -1;  // a descriptor or handle that is none

    LockedFile(std::filesystem::path path, std::intptr_t handle)
        : path_(std::move(path)), handle_(handle) {}

    std::filesystem::path path_;
    std::intptr_t handle_;
};

}  // namespace talq::platform
