#include "platform/window_messages.h"

#include <windows.h>

#include <utility>

#include "platform/win32/window_fault.h"

namespace talq::platform {

namespace {

// A window's messages reach its own thread's loop (talq runs several ports on threads).
thread_local std::exception_ptr kept;

}  // namespace

void win32::KeepWindowFault(std::exception_ptr fault) noexcept {
    if (kept == nullptr) kept = std::move(fault);
}

std::exception_ptr TakeWindowFault() {
    return std::exchange(kept, nullptr);
}

void PumpWindowMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (std::exception_ptr fault = TakeWindowFault()) std::rethrow_exception(fault);
    }
    // A message sent from another thread is delivered inside PeekMessage itself.
    if (std::exception_ptr fault = TakeWindowFault()) std::rethrow_exception(fault);
}

}  // namespace talq::platform
