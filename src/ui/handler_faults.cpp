#include "ui/handler_faults.h"

#include <utility>

#include "ui/prompts.h"

namespace talq::ui {

namespace {

// The fault shown last: the windows it passes on its way out show it no more.
std::exception_ptr shown;

}  // namespace

std::string StoppedMessage(std::string_view program, std::string_view action,
                           const std::exception_ptr& fault) {
    std::string what = "an unknown fault";
    try {
        if (fault) std::rethrow_exception(fault);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    std::string text(program);
    text += " stopped on an unexpected fault";
    if (!action.empty()) text.append(" in ").append(action);
    return text + ": " + what;
}

std::string ActionOf(const Window& window, int id, Notification notification) {
    if (notification != Notification::Clicked || !window.Has(id)) return {};
    const std::string caption = window.Text(id);
    std::string action;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        // "&&" is an ampersand; a single one marks the mnemonic.
        if (caption[i] == '&' && ++i == caption.size()) break;
        action += caption[i];
    }
    return action;
}

bool FaultShown(const std::exception_ptr& fault) {
    return fault != nullptr && fault == shown;
}

void CaughtFault::Catch(Window* dialog, std::string_view action,
                        std::exception_ptr fault) noexcept {
    try {
        if (!FaultShown(fault)) {
            shown = fault;
            MessageBox(dialog, StoppedMessage(ApplicationName(), action, fault),
                       MessageIcon::Exclamation);
        }
    } catch (...) {
        // Nothing more can be said; the fault still ends the run.
    }
    if (fault_ == nullptr) fault_ = std::move(fault);
}

void CaughtFault::Rethrow() {
    if (fault_ != nullptr) std::rethrow_exception(std::exchange(fault_, nullptr));
}

}  // namespace talq::ui
