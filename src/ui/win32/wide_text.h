// UTF-8 inside, UTF-16 at the system's wide calls: the platform's conversions,
// under the names the dialogs' backend uses.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/utf8.h"

namespace talq::ui::win32 {

inline std::wstring Widen(std::string_view text) { return platform::win32::Utf8ToWide(text); }
inline std::string Narrow(std::wstring_view text) { return platform::win32::WideToUtf8(text); }

}  // namespace talq::ui::win32
