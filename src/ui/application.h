// The window system's application object, for the program's main(): started
// before any window, ended after the last one. Also the program-wide hooks
// that only the window system can give.
#pragma once

#include <functional>
#include <memory>

#include "ui/window.h"

namespace talq::ui {

class Dialog;

class Application {
  public:
    // `argc`/`argv` as main() got them (Qt takes its own options from them).
    Application(int& argc, char** argv, const IconSource& icons, int iconId);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // For start-up measurements: ends `dialog`'s modal run with Cancel once it
    // has been painted.
    void EndWhenShown(Dialog& dialog);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Ends every running modal loop, nested ones included; modal runs started
// later return at once. For a program that must end now (a signal).
void QuitApplication();

}  // namespace talq::ui
