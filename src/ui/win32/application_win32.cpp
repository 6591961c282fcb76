// The program-wide start of the window system: the common controls, no ghost
// windows.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include "ui/application.h"
#include "ui/dialog.h"
#include "ui/event_watch.h"
#include "win32_window.h"

namespace talq::ui {

struct Application::Impl {};

Application::Application(int&, char**, const IconSource&, int) : impl_(std::make_unique<Impl>()) {
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    DisableProcessWindowsGhosting();
    // COM starts at its first use (win32::StartCom), and ends with the process.
}

Application::~Application() = default;

void Application::EndWhenShown(Dialog& dialog) {
    win32::EndModalWhenPainted(dialog.dialogWindow(), kIdCancel);
}

// The device-change window's messages reach the dialog's own loop: nothing to watch.
std::unique_ptr<EventWatch> WatchDescriptor(int, std::function<void()>) {
    return nullptr;
}

}  // namespace talq::ui
