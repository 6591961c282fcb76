#include "platform/system_reason.h"

#include <windows.h>

#include "platform/win32/utf8.h"

namespace talq::platform {

std::string SystemReason(int error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) return "system error " + std::to_string(error);
    std::string reason = win32::WideToUtf8({text, length});
    LocalFree(text);
    // The system ends its sentences with a full stop and a line break; ours go on.
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

}  // namespace talq::platform
