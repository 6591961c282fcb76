// UTF-8 inside, UTF-16 at the system's wide calls.
#pragma once

#include <string>
#include <string_view>

namespace talq::ui::win32 {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace talq::ui::win32
