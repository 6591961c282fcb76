// Requests to end a command-line run (Ctrl-C, a terminal or console closed,
// the session ending) held back so that the run can finish what it is doing:
// the first request only raises a flag and prints `notice` on standard error,
// a second one ends the program at once.
#pragma once

namespace talq::platform {

// Holds the requests from now on; `notice` must outlive the program.
void DeferInterrupts(const char* notice);
bool InterruptRequested();

}  // namespace talq::platform
