// The backend's side of a window: its handle, for the prompter, the
// application object and the tests' driver. Not for gui/: it includes the
// system's headers.
#pragma once

#include <windows.h>
// The system's macros would rename our own functions of these names.
#undef MessageBox
#undef LoadIcon
#undef LoadString

#include "ui/window.h"

namespace talq::ui::win32 {

// The window's handle; nullptr for nullptr or a window of another backend.
HWND HandleOf(const Window* window);

// Ends `window`'s modal run with `code` once the window has been painted.
void EndModalWhenPainted(DialogWindow& window, int code);

// Starts COM (as OLE, for the file dialogs) on the UI thread at its first use,
// so that a start without a file question or screen reader does not wait for it.
void StartCom();

// Hands a message to the dialog it belongs to (keyboard navigation, Enter,
// Escape) or dispatches it; true when it was a dialog's.
bool RouteMessage(MSG& message);

}  // namespace talq::ui::win32
