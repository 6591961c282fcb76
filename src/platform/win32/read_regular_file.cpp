#include "platform/read_regular_file.h"

#include <windows.h>

#include "platform/win32/utf8.h"

namespace talq::platform {

RegularFileRead ReadRegularFile(const std::string& path, std::span<std::uint8_t> buffer) {
    RegularFileRead result;
    // Backup semantics open a folder too, so that it is told apart below.
    // Sharing deletion too, so that a writer may rename a new file over this one while we read.
    const HANDLE file = CreateFileW(win32::Utf8ToWide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        result.error = static_cast<int>(error);
        result.missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return result;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        result.regular = false;  // a console, pipe or device: never waited on
    } else if (!GetFileInformationByHandle(file, &info)) {
        result.error = static_cast<int>(GetLastError());
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        result.regular = false;
        result.error = ERROR_ACCESS_DENIED;  // as opening a folder for its data answers
    } else {
        while (result.count < buffer.size()) {
            DWORD got = 0;
            if (!ReadFile(file, buffer.data() + result.count,
                          static_cast<DWORD>(buffer.size() - result.count), &got, nullptr)) {
                result.error = static_cast<int>(GetLastError());
                break;
            }
            if (got == 0) break;
            result.count += got;
        }
    }
    CloseHandle(file);
    return result;
}

}  // namespace talq::platform
