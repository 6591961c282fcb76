// The user's actions as window messages, the way UI automation drives a Win32
// dialog: each goes to the control the dialog manager created for (window, id).
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "ui/support/ui_driver.h"
#include "ui/win32/win32_window.h"

namespace talq::test {

namespace {

// The control a user could act on, or nullptr after failing the test: BM_CLICK
// reaches a disabled button, so the refusal is ours.
HWND Usable(ui::Window& window, int id) {
    HWND dialog = ui::win32::HandleOf(&window);
    HWND control = dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
    if (control == nullptr) {
        ADD_FAILURE() << "no control " << id << " in \"" << window.Caption() << '"';
        return nullptr;
    }
    if (!IsWindowVisible(control)) {
        ADD_FAILURE() << "control " << id << " is hidden, or its window is";
        return nullptr;
    }
    for (HWND w = control; w != nullptr; w = GetAncestor(w, GA_PARENT)) {
        if (!IsWindowEnabled(w)) {
            ADD_FAILURE() << "control " << id << " is disabled, or its window is";
            return nullptr;
        }
        if (w == GetAncestor(control, GA_ROOT)) break;
    }
    return control;
}

void Notify(HWND control, int code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

}  // namespace

void Press(ui::Window& window, int id) {
    if (HWND button = Usable(window, id)) SendMessageW(button, BM_CLICK, 0, 0);
}

void Choose(ui::Window& window, int id, int index) {
    HWND list = Usable(window, id);
    if (list == nullptr) return;
    SendMessageW(list, CB_SETCURSEL, index, 0);
    Notify(list, CBN_SELCHANGE);
}

void Type(ui::Window& window, int id, std::string_view text) {
    HWND list = Usable(window, id);
    if (list == nullptr) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(list, &info) || info.hwndItem == nullptr || info.hwndItem == list) {
        ADD_FAILURE() << "list " << id << " has no edit field";
        return;
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    // Typed over the whole field, a character at a time, as the keyboard would.
    SendMessageW(info.hwndItem, EM_SETSEL, 0, -1);
    if (wide.empty()) SendMessageW(info.hwndItem, WM_CHAR, VK_BACK, 1);
    for (const wchar_t c : wide) SendMessageW(info.hwndItem, WM_CHAR, c, 1);
    // The combo box reports the change itself; where it did not, the notice follows.
    if (!window.TypedSinceChoice(id)) Notify(list, CBN_EDITCHANGE);
}

void ChooseTab(ui::Window& window, int id, int index) {
    HWND tab = Usable(window, id);
    if (tab == nullptr) return;
    SendMessageW(tab, TCM_SETCURSEL, index, 0);
    NMHDR header{tab, static_cast<UINT_PTR>(id), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(GetParent(tab), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

void PressKey(ui::Window& window, Key key) {
    static constexpr WPARAM kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_DOWN, VK_UP, VK_F1};
    HWND dialog = ui::win32::HandleOf(&window);
    if (dialog == nullptr || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) {
        ADD_FAILURE() << "a key pressed in a hidden or disabled window";
        return;
    }
    // A user brings the window to the front first: its dialog puts the focus back.
    HWND root = GetAncestor(dialog, GA_ROOT);
    if (GetActiveWindow() != root) SetForegroundWindow(root);
    const WPARAM virtualKey = kKeys[static_cast<int>(key)];
    // Queued as the keyboard queues it, then read by the dialog manager. With the focus on
    // nobody the keys go to the active window as system keys, which no dialog reads.
    HWND focus = GetFocus();
    if (focus != nullptr) {
        PostMessageW(focus, WM_KEYDOWN, virtualKey, 1);
        PostMessageW(focus, WM_KEYUP, virtualKey, 0xC0000001);
    } else {
        PostMessageW(GetActiveWindow(), WM_SYSKEYDOWN, virtualKey, 1);
        PostMessageW(GetActiveWindow(), WM_SYSKEYUP, virtualKey, 0xC0000001);
    }
    ProcessEvents();
}

void Focus(ui::Window& window, int id) {
    HWND control = Usable(window, id);
    if (control == nullptr) return;
    HWND root = GetAncestor(control, GA_ROOT);
    SetForegroundWindow(root);
    SendMessageW(root, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

int FocusedControl(ui::Window& window) {
    HWND own = ui::win32::HandleOf(&window);
    HWND focus = GetFocus();
    if (own == nullptr || focus == nullptr) return ui::kNoId;
    if (GetParent(focus) == own) return GetDlgCtrlID(focus);
    // The edit field of a combo box stands for the combo box.
    HWND combo = GetParent(focus);
    wchar_t name[16] = {};
    if (combo != nullptr && GetParent(combo) == own && GetClassNameW(combo, name, 16) > 0 &&
        std::wstring(name) == L"ComboBox") {
        return GetDlgCtrlID(combo);
    }
    return ui::kNoId;
}

ui::PixelRect FrameOf(ui::Window& window) {
    RECT frame{};
    GetWindowRect(ui::win32::HandleOf(&window), &frame);
    return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

ui::PixelRect WorkAreaOf(ui::Window& window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(ui::win32::HandleOf(&window), MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT& area = monitor.rcWork;
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

void ProcessEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        ui::win32::RouteMessage(message);
    }
}

}  // namespace talq::test
