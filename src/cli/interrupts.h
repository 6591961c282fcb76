// Ctrl-C during a run: an exchange cut off midway could leave the printer in its user setting
// mode and print queues moved off their port. The first request to end (SIGINT, SIGTERM or
// SIGHUP; on Windows Ctrl-C, Ctrl-Break, the console closed, log-off or shut-down) is therefore
// held until the current port is done (every exchange is bounded in time); a second Ctrl-C or
// signal ends the program at once.
#pragma once

namespace talq::cli {

// The run was interrupted and stopped before all was done.
inline constexpr int kExitInterrupted = 130;

void DeferInterrupts();
bool InterruptRequested();

}  // namespace talq::cli
