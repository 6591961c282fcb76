#include "platform/win32/serial_comm_map.h"

#include <windows.h>

#include <iterator>

#include "platform/win32/utf8.h"

namespace talq::platform::win32 {

bool SerialDriverRuns(std::string_view name) {
    HKEY map = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) !=
        ERROR_SUCCESS) {
        return false;
    }
    const std::wstring wanted = Utf8ToWide(name);
    bool found = false;
    for (DWORD index = 0; !found; ++index) {
        wchar_t value[256];
        DWORD valueLength = std::size(value);
        wchar_t port[64] = {};
        DWORD portBytes = sizeof port - sizeof port[0];  // room for a terminator left
        DWORD type = 0;
        const LONG result = RegEnumValueW(map, index, value, &valueLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(port), &portBytes);
        if (result == ERROR_MORE_DATA) continue;  // no port name is that long
        if (result != ERROR_SUCCESS) break;
        found = type == REG_SZ &&
                CompareStringOrdinal(port, -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL;
    }
    RegCloseKey(map);
    return found;
}

}  // namespace talq::platform::win32
