// The keeping side of TakeWindowFault (platform/window_messages.h), for our window procedures.
#pragma once

#include <exception>

namespace talq::platform::win32 {

// Keeps `fault` for the loop of the calling thread to take, unless one is kept already.
void KeepWindowFault(std::exception_ptr fault) noexcept;

}  // namespace talq::platform::win32
