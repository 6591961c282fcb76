// The whole program talq-manager, from the recovery of queues an earlier run
// left switched to the end (by the dialog or by a signal).
#pragma once

namespace talq::app {

int RunProgram(int argc, char** argv);

}  // namespace talq::app
