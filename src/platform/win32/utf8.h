// The program keeps every name in UTF-8; the system's wide calls take UTF-16.
// Converting at the call keeps names outside the ANSI code page (a profile
// folder "Łukasz", a file "Café №1.sts") intact on their way to the system.
#pragma once

#include <string>
#include <string_view>

namespace talq::platform::win32 {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace talq::platform::win32
