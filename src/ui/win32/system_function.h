// A function of a system library loaded at its first use rather than at the
// program's start: the file dialogs' and the themes' libraries cost the
// connection dialog a good part of its start-up otherwise, and most runs
// never use them.
#pragma once

#include "platform/win32/system_library.h"
#include "win32_window.h"

namespace talq::ui::win32 {

// `name` of `library` (a system library, found in the system folder only), or
// nullptr when either is missing. Loaded once; never unloaded.
template <typename Function>
Function* SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = platform::win32::LoadSystemLibrary(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace talq::ui::win32
