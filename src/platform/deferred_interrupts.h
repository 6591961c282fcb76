// Requests to end a command-line run (Ctrl-C, a terminal or console closed,
// the session ending) held back so that the run can finish what it is doing:
// the first request only raises a flag and prints `notice` on standard error,
// a second one ends the program at once. A closed standard output does not end it either:
// writes to it fail, and the caller looks at that at its end.
#pragma once

namespace talq::platform {

// Holds the requests from now on; `notice` must outlive the program.
void DeferInterrupts(const char* notice);
bool InterruptRequested();

// While held, the first request does not print the notice: a caller drawing lines on standard
// error, which a write from elsewhere would break or a redraw wipe out, prints it itself.
void HoldInterruptNotice(bool held);

}  // namespace talq::platform
