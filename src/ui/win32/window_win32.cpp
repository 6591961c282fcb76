// Windows from templates: each is created hidden by CreateDialogIndirectParamW
// (so a dialog can fill its controls in its constructor and be driven shown but
// not modal), and a top-level one runs a modal loop of its own.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>
#include <uxtheme.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "dialog_template_win32.h"
#include "platform/window_messages.h"
#include "system_function.h"
#include "ui/handler_faults.h"
#include "ui/list_names.h"
#include "wide_text.h"
#include "win32_window.h"

namespace talq::ui::win32 {

namespace {

constexpr UINT kRunTask = WM_APP + 1;
constexpr UINT kEndWhenPainted = WM_APP + 2;
constexpr UINT kNameLists = WM_APP + 3;
constexpr ATOM kDialogClass = 0x8002;  // WC_DIALOG

// Set by QuitApplication: every modal run ends, and later ones return at once.
bool quitting = false;

void StartWindowSystem() {
    static const bool started = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls),
                                      ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        // A window busy with a printer exchange stays as it is, not replaced by a ghost.
        DisableProcessWindowsGhosting();
        return true;
    }();
    (void)started;
}

// Screen readers name an unlabelled list after the static text before it in
// z-order, which is wrong for several lists: give each its computed name.
// Where the service is missing (Wine answers E_NOTIMPL) the system's guess stays.
void NameLists(HWND window, const DialogTemplate& dialog) {
    const std::vector<ListName> names = ListNames(dialog);
    if (names.empty()) return;
    StartCom();
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    for (const ListName& name : names) {
        HWND list = GetDlgItem(window, dialog.controls[name.list].id);
        if (list == nullptr) continue;
        const std::wstring text = Widen(name.name);
        if (FAILED(services->SetHwndPropStr(list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                            PROPID_ACC_NAME, text.c_str()))) {
            break;
        }
    }
    services->Release();
}

// The control that handed the keyboard focus on when it went off, and the control that has
// held it since.
struct FocusLoan {
    HWND lender = nullptr;
    HWND holder = nullptr;
};
FocusLoan loan;

bool HoldsFocus(HWND control) {
    HWND focus = GetFocus();
    return control != nullptr && focus != nullptr && (focus == control || IsChild(control, focus));
}

// Gives `control` the focus as the dialog manager does (the default button follows).
void FocusControl(HWND control) {
    SendMessageW(GetAncestor(control, GA_ROOT), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control),
                 TRUE);
}

// A disabled window loses the focus to nobody, and the keys then reach no dialog: before
// `control` goes off, the focus moves on to the next enabled control in the keyboard order.
void HandFocusOn(HWND control) {
    if (!HoldsFocus(control)) return;
    SendMessageW(GetAncestor(control, GA_ROOT), WM_NEXTDLGCTL, 0, FALSE);
    if (GetFocus() == nullptr || HoldsFocus(control)) return;
    // Handed on again by the holder: the first lender stays.
    if (loan.holder != control) loan.lender = control;
    loan.holder = GetFocus();
}

// When `control` comes on again with the focus still where it went, it takes it back.
void TakeFocusBack(HWND control) {
    if (loan.lender != control) return;
    if (GetFocus() == loan.holder) FocusControl(control);
    loan = {};
}

std::string WindowText(HWND window) {
    if (window == nullptr) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

class Win32Window final : public DialogWindow {
  public:
    Win32Window(const DialogTemplate& dialog, HWND parent, bool page, WindowEvents& events)
        : template_(dialog), events_(events), page_(page) {
        StartWindowSystem();
        const std::vector<std::uint16_t> data = BuildDialogTemplate(dialog, page);
        // The owner of a popup is always a top-level window.
        HWND owner = parent != nullptr && !page ? GetAncestor(parent, GA_ROOT) : parent;
        owner_ = page ? nullptr : owner;
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<LPCDLGTEMPLATEW>(data.data()), owner, &Proc,
                                   reinterpret_cast<LPARAM>(this));
        if (hwnd_ == nullptr) {
            throw std::runtime_error("cannot create dialog " + std::to_string(dialog.id) +
                                     ": error " + std::to_string(GetLastError()));
        }
        // The fixed entries follow the creation, with nothing selected.
        for (const ControlTemplate& control : dialog.controls) {
            for (const std::string& item : control.items) AddString(control.id, item);
        }
        using ThemeTexture = HRESULT WINAPI(HWND, DWORD);
        static ThemeTexture* const enableTexture =
            SystemFunction<ThemeTexture>(L"uxtheme.dll", "EnableThemeDialogTexture");
        if (page_ && enableTexture != nullptr) enableTexture(hwnd_, ETDT_ENABLETAB);
        // Named from the loop, once the window is up: the service takes a while to load.
        PostMessageW(hwnd_, kNameLists, 0, 0);
    }

    ~Win32Window() override {
        if (hwnd_ != nullptr) {
            if (disabledOwner_ != nullptr) EnableWindow(disabledOwner_, TRUE);
            if (IsChild(hwnd_, loan.lender) || IsChild(hwnd_, loan.holder)) loan = {};
            DestroyWindow(hwnd_);
        }
    }

    HWND handle() const { return hwnd_; }

    void Show(bool show) override {
        if (hwnd_ == nullptr) return;
        if (show) FirstShow();
        ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE);
    }
    bool IsVisible() const override { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }
    std::string Caption() const override { return WindowText(hwnd_); }

    void SetIcon(int iconId) override {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        const auto load = [&](int metricX, int metricY) {
            return reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(iconId),
                                                       IMAGE_ICON, GetSystemMetrics(metricX),
                                                       GetSystemMetrics(metricY), LR_SHARED));
        };
        if (const LPARAM big = load(SM_CXICON, SM_CYICON)) {
            SendMessageW(hwnd_, WM_SETICON, ICON_BIG, big);
        }
        if (const LPARAM small = load(SM_CXSMICON, SM_CYSMICON)) {
            SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, small);
        }
    }

    void Place(const PixelRect& rect) override {
        SetWindowPos(hwnd_, nullptr, rect.x, rect.y, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The dialog manager's keyboard order is the z-order.
    void StackAfter(int id) override {
        HWND parent = page_ && hwnd_ != nullptr ? GetParent(hwnd_) : nullptr;
        HWND control = parent != nullptr ? GetDlgItem(parent, id) : nullptr;
        if (control == nullptr) return;
        SetWindowPos(hwnd_, control, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    bool Has(int id) const override { return Control(id) != nullptr; }
    std::string Text(int id) const override { return WindowText(Control(id)); }
    void SetText(int id, std::string_view text) override {
        if (HWND control = Control(id)) SetWindowTextW(control, Widen(text).c_str());
    }
    bool IsEnabled(int id) const override {
        HWND control = Control(id);
        return control != nullptr && IsWindowEnabled(control);
    }
    void Enable(int id, bool enable) override {
        HWND control = Control(id);
        if (control == nullptr) return;
        if (!enable) HandFocusOn(control);
        EnableWindow(control, enable ? TRUE : FALSE);
        if (enable) TakeFocusBack(control);
    }
    bool HasFocus(int id) const override { return HoldsFocus(Control(id)); }
    void Focus(int id) override {
        if (HWND control = Control(id)) FocusControl(control);
    }
    void Repaint(int id) override {
        HWND control = Control(id);
        RedrawWindow(control != nullptr ? control : hwnd_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    bool IsChecked(int id) const override {
        HWND control = Control(id);
        return control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void SetChecked(int id, bool checked) override {
        if (HWND control = Control(id)) {
            SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }

    void ResetList(int id) override {
        if (HWND control = Control(id)) SendMessageW(control, CB_RESETCONTENT, 0, 0);
        typed_.erase(id);
    }
    void AddString(int id, std::string_view text) override {
        if (HWND control = Control(id)) {
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
        }
    }
    std::vector<std::string> Entries(int id) const override {
        std::vector<std::string> entries;
        HWND control = Control(id);
        if (control == nullptr) return entries;
        const auto count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const auto length = SendMessageW(control, CB_GETLBTEXTLEN, i, 0);
            std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
            SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
            entries.push_back(Narrow(text));
        }
        return entries;
    }
    int CurSel(int id) const override {
        HWND control = Control(id);
        return control == nullptr ? -1
                                  : static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    }
    void SetCurSel(int id, int index) override {
        if (HWND control = Control(id)) {
            const auto count = SendMessageW(control, CB_GETCOUNT, 0, 0);
            SendMessageW(control, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
        }
        typed_.erase(id);
    }
    void SetEditText(int id, std::string_view text) override { SetText(id, text); }
    bool TypedSinceChoice(int id) const override {
        const auto found = typed_.find(id);
        return found != typed_.end() && found->second;
    }

    void SetProgress(int id, int lower, int upper, int position) override {
        HWND bar = Control(id);
        if (bar == nullptr) return;
        // Under visual styles a bar glides toward a higher position on a timer that
        // cannot run during an exchange; a lower position is drawn at once. So step
        // past the position and back.
        if (position < upper) {
            SendMessageW(bar, PBM_SETRANGE32, lower, upper);
            SendMessageW(bar, PBM_SETPOS, position + 1, 0);
            SendMessageW(bar, PBM_SETPOS, position, 0);
        } else {
            SendMessageW(bar, PBM_SETRANGE32, lower, upper + 1);
            SendMessageW(bar, PBM_SETPOS, upper + 1, 0);
            SendMessageW(bar, PBM_SETPOS, upper, 0);
            SendMessageW(bar, PBM_SETRANGE32, lower, upper);
        }
        UpdateWindow(bar);
    }

    void InsertTab(int id, int index, std::string_view text) override {
        HWND tab = Control(id);
        if (tab == nullptr) return;
        std::wstring wide = Widen(text);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = wide.data();
        SendMessageW(tab, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
    int TabSelection(int id) const override {
        HWND tab = Control(id);
        return tab == nullptr ? -1 : static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    }
    PixelRect TabDisplayArea(int id) const override {
        HWND tab = Control(id);
        if (tab == nullptr) return {};
        RECT area;
        GetClientRect(tab, &area);
        SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        MapWindowPoints(tab, hwnd_, reinterpret_cast<POINT*>(&area), 2);
        return {area.left, area.top, area.right - area.left, area.bottom - area.top};
    }

    int RunModal() override {
        if (hwnd_ == nullptr || quitting) return kIdCancel;
        FirstShow();
        if (owner_ != nullptr && IsWindowEnabled(owner_)) {
            EnableWindow(owner_, FALSE);
            disabledOwner_ = owner_;
        }
        ended_ = false;
        code_ = kIdCancel;
        ShowWindow(hwnd_, SW_SHOW);
        MSG message;
        while (!ended_ && !caught_.Caught() && hwnd_ != nullptr) {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == 0) {
                // The program is ending: the loop that called us needs to see it too.
                PostQuitMessage(static_cast<int>(message.wParam));
                EndModal(kIdCancel);
                break;
            }
            if (got == -1) break;
            RouteMessage(message);
            // One of the platform's windows (the USB notices) kept a fault for its loop.
            if (std::exception_ptr fault = platform::TakeWindowFault()) Stop(fault, {});
        }
        // Outside the system's frames now: the fault goes on to whoever ran the dialog.
        caught_.Rethrow();
        return code_;
    }

    void EndModal(int code) override {
        code_ = code;
        ended_ = true;
        // The owner first, so that it is activated again when this window hides.
        if (disabledOwner_ != nullptr) {
            EnableWindow(disabledOwner_, TRUE);
            disabledOwner_ = nullptr;
        }
        if (hwnd_ != nullptr) {
            ShowWindow(hwnd_, SW_HIDE);
            PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop
        }
    }

    void AddSystemMenuItem(unsigned command, const std::string& text) override {
        HMENU menu = GetSystemMenu(hwnd_, FALSE);
        if (menu == nullptr) return;
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, command, Widen(text).c_str());
        systemCommands_.push_back(command);
    }

    void After(int ms, std::function<void()> task) override {
        if (hwnd_ == nullptr) return;
        const UINT_PTR id = nextTask_++;
        tasks_[id] = std::move(task);
        if (ms <= 0) {
            PostMessageW(hwnd_, kRunTask, id, 0);
        } else {
            SetTimer(hwnd_, id, static_cast<UINT>(ms), nullptr);
        }
    }

    void EndWhenPainted(int code) {
        endWhenPainted_ = true;
        endCode_ = code;
        if (IsVisible()) InvalidateRect(hwnd_, nullptr, TRUE);
    }

  private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<Win32Window*>(lParam);
            self->hwnd_ = window;
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            // A dialog puts the focus on its first control; a page leaves it where it is.
            return self->page_ ? FALSE : TRUE;
        }
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, DWLP_USER));
        if (self == nullptr) return FALSE;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            return FALSE;
        }
        // Nothing may unwind from here into the dialog manager's frames.
        try {
            return self->Handle(message, wParam, lParam);
        } catch (...) {
            const bool click = message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED;
            self->Stop(std::current_exception(), click ? self->ActionOf(LOWORD(wParam)) : "");
            return TRUE;
        }
    }

    std::string ActionOf(int id) const noexcept {
        try {
            return ui::ActionOf(*this, id, Notification::Clicked);
        } catch (...) {
            return {};
        }
    }

    // A fault out of a handler of this window, or of a page inside it, ends the dialog's run.
    void Stop(std::exception_ptr fault, const std::string& action) noexcept {
        if (page_) {
            HWND root = hwnd_ != nullptr ? GetAncestor(hwnd_, GA_ROOT) : nullptr;
            auto* dialog = root != nullptr && root != hwnd_
                               ? reinterpret_cast<Win32Window*>(GetWindowLongPtrW(root, DWLP_USER))
                               : nullptr;
            if (dialog != nullptr) {
                dialog->Stop(std::move(fault), action);
                return;
            }
        }
        caught_.Catch(this, action, std::move(fault));
        EndModal(kIdCancel);
    }

    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                switch (HIWORD(wParam)) {
                    case BN_CLICKED:  // also Enter, Escape and the close box as IDOK/IDCANCEL
                        events_.OnCommand(id, Notification::Clicked);
                        return TRUE;
                    case CBN_SELCHANGE:
                        typed_.erase(id);
                        events_.OnCommand(id, Notification::SelectionChange);
                        return TRUE;
                    case CBN_EDITCHANGE:
                        typed_[id] = true;
                        events_.OnCommand(id, Notification::EditChange);
                        return TRUE;
                }
                return FALSE;
            }
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
                    events_.OnCommand(static_cast<int>(header->idFrom),
                                      Notification::SelectionChange);
                }
                return FALSE;
            }
            case WM_SIZE:
                for (const ControlTemplate& control : template_.controls) {
                    if (control.kind == ControlKind::TabControl) {
                        events_.OnCommand(control.id, Notification::Layout);
                    }
                }
                return FALSE;
            case WM_SYSCOMMAND:
                for (const unsigned command : systemCommands_) {
                    if ((wParam & 0xFFF0) == (command & 0xFFF0)) {
                        events_.OnSysCommand(command);
                        return TRUE;
                    }
                }
                return FALSE;
            case WM_TIMER:
                KillTimer(hwnd_, wParam);
                RunTask(wParam);
                return TRUE;
            case kRunTask:
                RunTask(wParam);
                return TRUE;
            case WM_PAINT:
                if (endWhenPainted_) {
                    endWhenPainted_ = false;
                    PostMessageW(hwnd_, kEndWhenPainted, 0, 0);
                }
                return FALSE;
            case kEndWhenPainted:
                EndModal(endCode_);
                return TRUE;
            case kNameLists:
                NameLists(hwnd_, template_);
                return TRUE;
            case WM_QUERYENDSESSION:
                // Only a question: another program may still cancel the end, and the port
                // stays ours until the session really ends.
                if (page_) return FALSE;
                SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            case WM_ENDSESSION:
                if (!page_ && wParam) EndSession();
                return FALSE;
        }
        return FALSE;
    }

    void RunTask(UINT_PTR id) {
        const auto found = tasks_.find(id);
        if (found == tasks_.end()) return;
        // Moved out first: the task may add tasks, or end the window.
        const std::function<void()> task = std::move(found->second);
        tasks_.erase(found);
        task();
    }

    // The print queues go back before the system may end the process; once is enough.
    void EndSession() {
        if (sessionEnded_) return;
        sessionEnded_ = true;
        events_.OnEndSession();
    }

    void FirstShow() {
        if (shown_) return;
        shown_ = true;
        events_.OnFirstShow();
        if (!page_) Centre();
    }

    // Where the dialog framework put a dialog it showed: centred on its owner, or on the
    // screen's work area when there is no owner to show it over, and kept inside that area.
    void Centre() {
        RECT self;
        if (!GetWindowRect(hwnd_, &self)) return;
        const bool overOwner = owner_ != nullptr && IsWindowVisible(owner_) && !IsIconic(owner_);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        HMONITOR screen = MonitorFromWindow(overOwner ? owner_ : hwnd_, MONITOR_DEFAULTTOPRIMARY);
        if (!GetMonitorInfoW(screen, &monitor)) return;
        const RECT area = monitor.rcWork;
        RECT centre = area;
        if (overOwner) GetWindowRect(owner_, &centre);
        const int width = self.right - self.left;
        const int height = self.bottom - self.top;
        // Inside the area, its top-left corner before the rest.
        const int x = std::max<int>(
            std::min<int>((centre.left + centre.right - width) / 2, area.right - width), area.left);
        const int y = std::max<int>(
            std::min<int>((centre.top + centre.bottom - height) / 2, area.bottom - height),
            area.top);
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND Control(int id) const {
        return id == kNoId || hwnd_ == nullptr ? nullptr : GetDlgItem(hwnd_, id);
    }

    const DialogTemplate& template_;
    WindowEvents& events_;
    const bool page_;
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    HWND disabledOwner_ = nullptr;
    bool shown_ = false;
    bool ended_ = false;
    int code_ = kIdCancel;
    bool endWhenPainted_ = false;
    int endCode_ = kIdCancel;
    bool sessionEnded_ = false;
    CaughtFault caught_;
    std::map<int, bool> typed_;
    std::vector<unsigned> systemCommands_;
    std::map<UINT_PTR, std::function<void()>> tasks_;
    UINT_PTR nextTask_ = 1;
};

}  // namespace

void StartCom() {
    static const bool started = SUCCEEDED(OleInitialize(nullptr));
    (void)started;
}

HWND HandleOf(const Window* window) {
    const auto* own = dynamic_cast<const Win32Window*>(window);
    return own == nullptr ? nullptr : own->handle();
}

void EndModalWhenPainted(DialogWindow& window, int code) {
    if (auto* own = dynamic_cast<Win32Window*>(&window)) own->EndWhenPainted(code);
}

bool RouteMessage(MSG& message) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && GetClassLongPtrW(root, GCW_ATOM) == kDialogClass &&
        IsDialogMessageW(root, &message)) {
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return false;
}

}  // namespace talq::ui::win32

namespace talq::ui {

void QuitApplication() {
    win32::quitting = true;
    // Each modal loop passes WM_QUIT on to the one it runs in.
    PostQuitMessage(0);
}

std::unique_ptr<DialogWindow> CreateDialogWindow(const DialogTemplate& dialog, Window* owner,
                                                 WindowEvents& events, const IconSource&) {
    // The icons are the program's own icon resources.
    return std::make_unique<win32::Win32Window>(dialog, win32::HandleOf(owner), false, events);
}

std::unique_ptr<Window> CreatePageWindow(const DialogTemplate& page, Window& parent,
                                         WindowEvents& events) {
    return std::make_unique<win32::Win32Window>(page, win32::HandleOf(&parent), true, events);
}

}  // namespace talq::ui
