#include "platform/deferred_interrupts.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace talq::platform {
namespace {

std::atomic<bool> requested{false};
std::atomic<bool> noticeHeld{false};
const char* noticeText = "";

void (*forcedEnd)() = nullptr;
HANDLE finished = nullptr;  // set once the run is over

// The system ends the process about 5 s after a console close, and a program that holds up
// log-off or shut-down about as long after telling it: the run gets most of that to finish its
// port (no port and no Set Status starts meanwhile), the queues are given back in the rest.
constexpr DWORD kRunGraceMs = 3500;

void EndWithinTheSystemsTime() {
    requested = true;
    // A run that ended in time gave its queues back itself (and the program may be tearing
    // down what a give-back would use).
    if (finished != nullptr && WaitForSingleObject(finished, kRunGraceMs) == WAIT_OBJECT_0) return;
    // Called from the system's frames (a window procedure, a console handler), where nothing may
    // unwind; queues a failed give-back leaves switched are given back by the next start.
    try {
        if (forcedEnd != nullptr) forcedEnd();
    } catch (...) {
    }
}

// A console program with windows hears of log-off and shut-down only through a top-level
// window of its own (a message-only one is not asked); this one is hidden, on its own thread.
constexpr wchar_t kSessionWindowClass[] = L"TalqSessionEnd";

LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_QUERYENDSESSION:
            requested = true;  // nothing new starts; the session may end
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) EndWithinTheSystemsTime();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

DWORD WINAPI SessionWindowThread(LPVOID ready) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SessionWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kSessionWindowClass;
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, kSessionWindowClass, L"talq", WS_OVERLAPPED, 0, 0, 0, 0,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetEvent(static_cast<HANDLE>(ready));
    if (window == nullptr) return 0;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

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
    // Console closed (or log-off and shut-down, where no window of ours hears them): the
    // process ends when this handler returns, or when the system's time is up.
    EndWithinTheSystemsTime();
    return TRUE;
}

}  // namespace

void DeferInterrupts(const char* notice, void (*onForcedEnd)()) {
    noticeText = notice;
    forcedEnd = onForcedEnd;
    if (finished == nullptr) finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    // The window exists before the run starts, so that no session end passes unheard.
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE thread = CreateThread(nullptr, 0, SessionWindowThread, ready, 0, nullptr);
    if (thread != nullptr) {
        WaitForSingleObject(ready, 2000);
        CloseHandle(thread);
    }
    CloseHandle(ready);
}

void RunFinished() {
    if (finished != nullptr) SetEvent(finished);
}

void HoldInterruptNotice(bool held) {
    noticeHeld = held;
}

bool InterruptRequested() {
    return requested.load();
}

}  // namespace talq::platform
