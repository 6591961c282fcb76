#include "ui/command_handlers.h"

namespace talq::ui {

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    for (const auto& control : dialog.controls) {
        if (control.id == id && id != kNoId) return &control;
    }
    return nullptr;
}

bool CommandHandlers::Dispatch(const Window& window, int id, Notification notification) const {
    const auto found = handlers_.find({id, notification});
    if (found == handlers_.end()) return false;
    const ControlTemplate* control = FindControl(template_, id);
    if (control != nullptr && control->kind == ControlKind::RadioButton &&
        notification == Notification::Clicked && !window.IsChecked(id)) {
        return false;
    }
    // A copy: the handler may replace the handlers, or end the window.
    const auto handler = found->second;
    handler();
    return true;
}

}  // namespace talq::ui
