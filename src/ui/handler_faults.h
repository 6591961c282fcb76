// A fault no handler foresaw, caught where the window system called our code: letting it
// unwind through the system's or the toolkit's frames is undefined (it may end the program on
// the spot). The window shows it at once, over the dialog it happened in, ends that dialog's
// modal run and throws it again once the run is over, outside those frames; on its way out it
// ends every run it passes, and the program's top level ends with it, the dialogs closed and
// the print queues given back by their destructors.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "ui/window.h"

namespace talq::ui {

// "<program> stopped on an unexpected fault[ in <action>]: <what the fault says>".
std::string StoppedMessage(std::string_view program, std::string_view action,
                           const std::exception_ptr& fault);

// What the user did, for that sentence: the caption of the button pressed (Enter and Escape
// press OK and Cancel), without its mnemonic; "" for anything else.
std::string ActionOf(const Window& window, int id, Notification notification);

// Whether `fault` has been shown in such a message box already.
bool FaultShown(const std::exception_ptr& fault);

// The fault a dialog's window caught, until its modal run throws it again.
class CaughtFault {
  public:
    // Shows `fault` in a message box owned by `dialog`, unless it has been shown already, and
    // keeps it unless a fault is kept already. Never throws.
    void Catch(Window* dialog, std::string_view action, std::exception_ptr fault) noexcept;
    bool Caught() const { return fault_ != nullptr; }
    // Throws the kept fault, if any, and keeps nothing from then on.
    void Rethrow();

  private:
    std::exception_ptr fault_;
};

}  // namespace talq::ui
