// The program-wide start of the window system: the common controls, COM for
// the file dialogs and the accessibility service, no ghost windows.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>

#include "ui/application.h"
#include "ui/dialog.h"
#include "ui/event_watch.h"
#include "win32_window.h"

namespace talq::ui {

struct Application::Impl {
    bool comStarted = false;
};

Application::Application(int&, char**, const IconSource&, int) : impl_(std::make_unique<Impl>()) {
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    DisableProcessWindowsGhosting();
    impl_->comStarted = SUCCEEDED(OleInitialize(nullptr));
}

Application::~Application() {
    if (impl_->comStarted) OleUninitialize();
}

void Application::EndWhenShown(Dialog& dialog) {
    win32::EndModalWhenPainted(dialog.dialogWindow(), kIdCancel);
}

// The device-change window's messages reach the dialog's own loop: nothing to watch.
std::unique_ptr<EventWatch> WatchDescriptor(int, std::function<void()>) {
    return nullptr;
}

}  // namespace talq::ui
