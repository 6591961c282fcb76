// The whole program talq-manager, from the recovery of queues an earlier run
// left switched to the end (by the dialog or by a signal).
#pragma once

#include <exception>
#include <string>

namespace talq::app {

// A fault no handler foresaw is shown in a message box and ends the run with
// kExitStopped, the dialog having closed the port and given the queues back
// on the way out.
int RunProgram(int argc, char** argv);

inline constexpr int kExitStopped = 1;

// The sentence for such a fault.
std::string StoppedMessage(std::exception_ptr fault);

}  // namespace talq::app
