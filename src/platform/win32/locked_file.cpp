#include "platform/locked_file.h"

#include <windows.h>

#include <chrono>
#include <random>

namespace talq::platform {
namespace {

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Readers and writers through other handles are let in (the lock is what
// keeps them apart), and so is removal, which a taker-over does.
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows locks are mandatory, so the lock covers one byte far past any data.
bool Lock(HANDLE handle) {
    OVERLAPPED where{};
    where.Offset = 0xFFFFFFFE;
    where.OffsetHigh = 0x7FFFFFFF;
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
        return false;
    }
    // A file another process removed between our opening and locking it is gone.
    FILE_STANDARD_INFO info{};
    return GetFileInformationByHandleEx(handle, FileStandardInfo, &info, sizeof info) &&
           !info.DeletePending;
}

HANDLE Open(const std::filesystem::path& file, DWORD disposition) {
    return CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

LockedFile::~LockedFile() {
    if (handle_ != kNone) CloseHandle(HandleOf(handle_));
}

std::optional<LockedFile> LockedFile::CreateUnique(const std::filesystem::path& folder,
                                                   std::string_view prefix,
                                                   std::string_view suffix) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::string unique(6, '0');
        for (char& c : unique) c = kLetters[pick(random)];
        const std::filesystem::path file =
            folder / (std::string(prefix) + unique + std::string(suffix));
        const HANDLE handle = Open(file, CREATE_NEW);
        if (handle == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return std::nullopt;
        }
        if (Lock(handle)) return LockedFile(file, reinterpret_cast<std::intptr_t>(handle));
        CloseHandle(handle);  // taken over and removed at once: make another
    }
    return std::nullopt;
}

std::optional<LockedFile> LockedFile::HoldExisting(const std::filesystem::path& file) {
    const HANDLE handle = Open(file, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    if (!Lock(handle)) {
        CloseHandle(handle);
        return std::nullopt;
    }
    return LockedFile(file, reinterpret_cast<std::intptr_t>(handle));
}

std::optional<LockedFile> LockedFile::HoldWaiting(const std::filesystem::path& file, int waitMs) {
    const HANDLE handle = Open(file, OPEN_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!Lock(handle)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            CloseHandle(handle);
            return std::nullopt;
        }
        Sleep(20);
    }
    return LockedFile(file, reinterpret_cast<std::intptr_t>(handle));
}

std::string LockedFile::ReadAll() {
    std::string text;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(HandleOf(handle_), start, nullptr, FILE_BEGIN)) return text;
    char buffer[4096];
    for (DWORD got = 0;
         ReadFile(HandleOf(handle_), buffer, sizeof buffer, &got, nullptr) && got > 0;) {
        text.append(buffer, got);
    }
    return text;
}

bool LockedFile::AppendDurably(std::string_view bytes) {
    LARGE_INTEGER none{};
    if (!SetFilePointerEx(HandleOf(handle_), none, nullptr, FILE_END)) return false;
    DWORD written = 0;
    return WriteFile(HandleOf(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size() && FlushFileBuffers(HandleOf(handle_));
}

void LockedFile::Remove() {
    DeleteFileW(path_.c_str());
}

}  // namespace talq::platform
