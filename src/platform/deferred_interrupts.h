// Requests to end a command-line run (Ctrl-C, a terminal or console closed,
// the session ending) held back so that the run can finish what it is doing:
// the first request only raises a flag and prints `notice` on standard error,
// a second one ends the program at once. A closed standard output does not end it either:
// writes to it fail, and the caller looks at that at its end.
#pragma once

namespace talq::platform {

// Holds the requests from now on; `notice` must outlive the program. Where the system ends the
// process on its own a few seconds after asking (Windows: the console closed, log-off,
// shut-down), the run is given most of that time to finish its port; when it has not finished
// by then, `onForcedEnd` runs (it gives the print queues back) before the process can be ended.
void DeferInterrupts(const char* notice, void (*onForcedEnd)() = nullptr);
bool InterruptRequested();
// The run is over and has given its queues back: a forced end need not wait for it.
void RunFinished();

// While held, the first request does not print the notice: a caller drawing lines on standard
// error, which a write from elsewhere would break or a redraw wipe out, prints it itself.
void HoldInterruptNotice(bool held);

}  // namespace talq::platform
