// talq-manager.exe driven from outside its process, the way UI automation
// tools drive a dialog: it is started as a user starts it, its windows are
// found by caption and owner, buttons pressed by BM_CLICK, message boxes read
// and answered. Against a simulated printer on COM1:
//   the connection dialog opens centred on the screen
//   Check Communication -> "Printer is connected." -> the focus on Self Test
//   Run Manager -> the status dialog centred on the connection dialog
//   Get Status -> the memory switch page shows switch 1's pins, the focus back on Get Status
//   Save Status through the system's file dialog, SAVED_PATH typed without an extension
//     -> SAVED_PATH.sts
//   Exit, Exit -> the process ends with 0.
//   manager_end_to_end.exe MANAGER_EXE SAVED_PATH
// Every wait is bounded; a step that times out fails the run.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Fail(const std::string& what) {
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    ++failures;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string TextOf(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return Utf8(buffer);
}

std::string ClassOf(HWND window) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return Utf8(buffer);
}

// Polls `found` every 50 ms for at most `ms`; nullptr when it never answers.
HWND WaitFor(const std::function<HWND()>& found, int ms = 20000) {
    for (int waited = 0; waited <= ms; waited += 50) {
        if (HWND window = found()) return window;
        Sleep(50);
    }
    return nullptr;
}

// A visible top-level dialog of process `pid` with `caption` ("" any), owned by `owner`
// (nullptr any).
HWND FindDialog(DWORD pid, const std::string& caption, HWND owner) {
    struct Search {
        DWORD pid;
        std::string caption;
        HWND owner;
        HWND found = nullptr;
    } search{pid, caption, owner};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != s.pid || !IsWindowVisible(window) || ClassOf(window) != "#32770")
                return TRUE;
            if (!s.caption.empty() && TextOf(window) != s.caption) return TRUE;
            if (s.owner != nullptr && GetWindow(window, GW_OWNER) != s.owner) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A child dialog (a page) of `parent` that holds control `id`.
HWND FindPage(HWND parent, int id) {
    struct Search {
        HWND parent;
        int id;
        HWND found = nullptr;
    } search{parent, id};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) CALLBACK -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (GetParent(child) == s.parent && ClassOf(child) == "#32770" &&
                GetDlgItem(child, s.id) != nullptr) {
                s.found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Presses button `id` as a click does, without waiting for what it starts.
bool Press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button == nullptr || !IsWindowEnabled(button) || !IsWindowVisible(button)) {
        Fail("button " + std::to_string(id) + " of \"" + TextOf(dialog) + "\" cannot be pressed");
        return false;
    }
    PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

// Waits for the message box owned by `owner`, checks its caption and text and answers OK.
void ExpectMessage(DWORD pid, HWND owner, const std::string& text) {
    HWND box = WaitFor([&] { return FindDialog(pid, "talq-manager", owner); });
    if (box == nullptr) {
        Fail("no message box \"" + text + "\"");
        return;
    }
    const std::string shown = TextOf(GetDlgItem(box, 0xFFFF));
    if (shown != text) Fail("message box says \"" + shown + "\", not \"" + text + "\"");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return IsWindow(box) ? nullptr : owner; });
}

// Waits until control `id` of `dialog` has the keyboard focus of its thread.
void ExpectFocus(HWND dialog, int id, const std::string& when) {
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    HWND control = GetDlgItem(dialog, id);
    const HWND focused = WaitFor(
        [&]() -> HWND {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return GetGUIThreadInfo(thread, &info) && info.hwndFocus == control ? control : nullptr;
        },
        5000);
    if (focused == nullptr) Fail("the focus is not on " + std::to_string(id) + " " + when);
}

// `window` is centred on `under` (a window, or the work area of the screen) within a pixel.
void ExpectCentred(HWND window, HWND under, const std::string& what) {
    RECT shown{}, base{};
    GetWindowRect(window, &shown);
    if (under != nullptr) {
        GetWindowRect(under, &base);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        base = monitor.rcWork;
    }
    const long dx = (shown.left + shown.right) / 2 - (base.left + base.right) / 2;
    const long dy = (shown.top + shown.bottom) / 2 - (base.top + base.bottom) / 2;
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1) {
        Fail(what + " is off centre by " + std::to_string(dx) + ", " + std::to_string(dy));
    }
}

// What the memory switch page shows per pin: 0 left, 1 right, n neither, - disabled.
std::string PinsShown(HWND page) {
    std::string shown;
    for (int pin = 1; pin <= 8; ++pin) {
        HWND left = GetDlgItem(page, 1048 + pin);
        HWND right = GetDlgItem(page, 1039 + pin);
        if (!IsWindowEnabled(left))
            shown += '-';
        else if (SendMessageW(left, BM_GETCHECK, 0, 0) == BST_CHECKED)
            shown += '0';
        else if (SendMessageW(right, BM_GETCHECK, 0, 0) == BST_CHECKED)
            shown += '1';
        else
            shown += 'n';
    }
    return shown;
}

// Answers the save dialog with `path`, and its question before a new file is made.
void SaveThroughFileDialog(DWORD pid, HWND owner, const std::string& path) {
    HWND files = WaitFor([&] { return FindDialog(pid, "Save current status", owner); });
    if (files == nullptr) {
        Fail("no file dialog \"Save current status\"");
        return;
    }
    // The name field: the explorer dialog's combo box, or the older edit field.
    HWND name = GetDlgItem(files, 1148);
    if (name == nullptr) name = GetDlgItem(files, 1152);
    if (name == nullptr) {
        Fail("the file dialog has no name field");
        return;
    }
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(path).c_str()));
    PostMessageW(files, WM_COMMAND, IDOK, 0);
    // Either the dialog closes, or it asks first whether to create the file.
    WaitFor([&]() -> HWND {
        if (!IsWindow(files)) return owner;
        if (HWND ask = FindDialog(pid, "", files)) {
            PostMessageW(ask, WM_COMMAND, IDYES, 0);
        }
        return nullptr;
    });
    if (IsWindow(files)) Fail("the file dialog stayed open");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: manager_end_to_end MANAGER_EXE SAVED_PATH\n");
        return 2;
    }
    const std::string saved = Utf8(argv[2]);
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the program: %lu\n", GetLastError());
        return 1;
    }
    const DWORD pid = process.dwProcessId;

    HWND main = WaitFor([&] { return FindDialog(pid, "Talquist Manager(V3.0.6a)", nullptr); });
    if (main == nullptr) {
        Fail("the connection dialog did not appear");
    } else {
        ExpectCentred(main, nullptr, "the connection dialog");
        // Pressed as a mouse presses it: the button takes the focus, then goes off.
        if (Press(main, 1001)) {
            ExpectMessage(pid, main, "Printer is connected.");
            ExpectFocus(main, 1023, "after Check Communication");
        }
        if (Press(main, 1030)) {
            const std::string caption =
                "Printer Status (For KTV-520plus/KTV-540/KTV-542/KTV-520plusF V3.0.6a)";
            HWND status = WaitFor([&] { return FindDialog(pid, caption, main); });
            if (status == nullptr) {
                Fail("the status dialog did not appear");
            } else {
                ExpectCentred(status, main, "the status dialog");
                if (Press(status, 1002)) {
                    ExpectMessage(pid, status, "Success to get status of printer.");
                    ExpectFocus(status, 1002, "after Get Status");
                }
                HWND page = FindPage(status, 1049);
                if (page == nullptr) {
                    Fail("no memory switch page");
                } else {
                    // The answer to the box lets the press finish: the page fills after it.
                    // Switch 1 of this model has pin 4 only: the others stay disabled.
                    WaitFor([&] { return PinsShown(page) != "--------" ? page : nullptr; }, 5000);
                    const std::string pins = PinsShown(page);
                    std::printf("switch 1 shown as %s, page \"%s\"\n", pins.c_str(),
                                TextOf(GetDlgItem(page, 1000)).c_str());
                    if (pins != "---0----") Fail("switch 1 is not shown as read: " + pins);
                    if (TextOf(GetDlgItem(page, 1000)) != "1") Fail("the page is not switch 1");
                }
                if (Press(status, 1004)) SaveThroughFileDialog(pid, status, saved);
                if (Press(status, 1007)) {
                    WaitFor([&] { return IsWindow(status) ? nullptr : main; });
                }
            }
        }
        Press(main, 2);
    }
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        Fail("the program did not end");
        TerminateProcess(process.hProcess, 3);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (code != 0) Fail("the program ended with " + std::to_string(code));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (failures == 0) std::printf("talq-manager.exe driven from outside: all steps passed\n");
    return failures == 0 ? 0 : 1;
}
