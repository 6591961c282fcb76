// The messages waiting for the calling thread's windows (the USB
// device-change window among them), for a program without an event loop to
// deliver between its commands. Nothing to do where notices come through a
// descriptor instead.
#pragma once

namespace talq::platform {

// Dispatches every message already waiting; never waits for one.
void PumpWindowMessages();

}  // namespace talq::platform
