// The messages waiting for the calling thread's windows (the USB
// device-change window among them), for a program without an event loop to
// deliver between its commands. Nothing to do where notices come through a
// descriptor instead.
#pragma once

#include <exception>

namespace talq::platform {

// Dispatches every message already waiting; never waits for one. A fault one of our window
// procedures kept meanwhile is thrown from here.
void PumpWindowMessages();

// A fault no window procedure of ours may let unwind through the system's frames: the procedure
// keeps it, and the loop that delivered its message takes it and goes on with it as with a fault
// of its own. nullptr when none was kept (always, where notices come through a descriptor).
std::exception_ptr TakeWindowFault();

}  // namespace talq::platform
