// Handlers by (id, notification) for one window, with the dialog manager's
// rules applied once for every window system: a radio button's handler runs
// only when the button is checked after the press (Windows also reports a
// press when an unchecked radio button merely gets the focus).
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "ui/dialog_template.h"
#include "ui/window.h"

namespace talq::ui {

class CommandHandlers {
  public:
    explicit CommandHandlers(const DialogTemplate& dialog) : template_(dialog) {}

    void On(int id, Notification notification, std::function<void()> handler) {
        handlers_[{id, notification}] = std::move(handler);
    }
    // Runs the handler of (id, notification), if any; true when one ran.
    bool Dispatch(const Window& window, int id, Notification notification) const;

  private:
    const DialogTemplate& template_;
    std::map<std::pair<int, Notification>, std::function<void()>> handlers_;
};

// The kind of control `id` is in `dialog`, or nullptr for an unknown id.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

}  // namespace talq::ui
