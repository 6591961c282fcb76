#include "platform/deferred_interrupts.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace talq::platform {
namespace {

std::atomic<bool> requested{false};
std::atomic<bool> noticeHeld{false};
const char* noticeText = "";

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    const bool again = requested.exchange(true);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        if (again) return FALSE;  // the default handler ends the program at once
        if (noticeHeld) return TRUE;
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), noticeText,
                  static_cast<DWORD>(std::strlen(noticeText)), &written, nullptr);
        return TRUE;
    }
    // Console closed, log-off or shut-down: the process ends when this handler
    // returns, so it waits here while the run finishes its port and gives the
    // queues back; the program's own end (or the system's deadline) stops it.
    Sleep(INFINITE);
    return TRUE;
}

}  // namespace

void DeferInterrupts(const char* notice) {
    noticeText = notice;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void HoldInterruptNotice(bool held) {
    noticeHeld = held;
}

bool InterruptRequested() {
    return requested.load();
}

}  // namespace talq::platform
