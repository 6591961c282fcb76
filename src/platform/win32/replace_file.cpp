#include "platform/replace_file.h"

#include <windows.h>

#include <random>

#include "platform/win32/utf8.h"

namespace talq::platform {
namespace {

constexpr int kRenameAttempts = 20;
constexpr DWORD kRenamePauseMs = 50;

// Creates a new, empty file beside `target`; its handle, or INVALID_HANDLE_VALUE.
HANDLE CreateTemporary(const std::wstring& target, std::wstring& name) {
    const std::size_t slash = target.find_last_of(L"\\/:");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    const std::wstring base = target.substr(slash == std::wstring::npos ? 0 : slash + 1);
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters / sizeof kLetters[0] - 2);
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::wstring suffix(8, L'0');
        for (wchar_t& c : suffix) c = kLetters[pick(random)];
        name = folder + L"." + base.substr(0, 200) + L"." + suffix + L".tmp";
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                       nullptr)) {
            return false;
        }
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

// Writes the bytes to a new temporary file beside `target` and closes it; 0 or the error.
DWORD WriteTemporary(const std::wstring& target, std::span<const std::uint8_t> bytes,
                     std::wstring& temporary) {
    const HANDLE file = CreateTemporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD error = 0;
    if (!WriteAll(file, bytes) || !FlushFileBuffers(file)) error = GetLastError();
    CloseHandle(file);
    if (error != 0) DeleteFileW(temporary.c_str());
    return error;
}

}  // namespace

int CreateNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::wstring target = win32::Utf8ToWide(path);
    std::wstring temporary;
    if (const DWORD error = WriteTemporary(target, bytes, temporary); error != 0) {
        return static_cast<int>(error);
    }
    // Without MOVEFILE_REPLACE_EXISTING the move is refused when the name is taken.
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    return static_cast<int>(error);
}

bool NameTaken(int error) {
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

int ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::wstring target = win32::Utf8ToWide(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return ERROR_ACCESS_DENIED;  // as renaming onto a folder answers
    }
    std::wstring temporary;
    DWORD error = WriteTemporary(target, bytes, temporary);
    if (error != 0) return static_cast<int>(error);
    // The rename replaces the old file in one step, or leaves it as it was. A reader that
    // does not share deletion (an editor, a virus scanner) blocks it for a moment: retried
    // for up to a second.
    for (int attempt = 0; error == 0; ++attempt) {
        if (MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            break;
        }
        error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
            attempt == kRenameAttempts - 1) {
            break;
        }
        error = 0;
        Sleep(kRenamePauseMs);
    }
    if (error != 0) DeleteFileW(temporary.c_str());
    return static_cast<int>(error);
}

}  // namespace talq::platform
