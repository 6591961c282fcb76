// A system library loaded from the system folder only, never from the program's folder or the
// current one, where a file of that name could be planted.
#pragma once

#include <windows.h>

namespace talq::platform::win32 {

// `name` (such as L"uxtheme.dll") from the system folder, or nullptr with the system's error.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The same by the folder's full path: what Windows 7 without update KB2533623 takes, where
// LoadLibraryExW refuses LOAD_LIBRARY_SEARCH_SYSTEM32 (ERROR_INVALID_PARAMETER).
HMODULE LoadSystemLibraryByPath(const wchar_t* name);

}  // namespace talq::platform::win32
