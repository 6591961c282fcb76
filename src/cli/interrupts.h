// Ctrl-C during a run: an exchange cut off midway could leave the printer in its user setting
// mode and print queues moved off their port. The first request to end (SIGINT, SIGTERM or
// SIGHUP; on Windows Ctrl-C, Ctrl-Break, the console closed, log-off or shut-down) is therefore
// only noted: every running port finishes its current command (every exchange is bounded in
// time), no port and no Set Status starts after it; a second Ctrl-C or signal ends the program
// at once.
#pragma once

namespace talq::cli {

// The run was interrupted and stopped before all was done.
inline constexpr int kExitInterrupted = 130;

void DeferInterrupts();
bool InterruptRequested();
// The run is over and its print queues given back (see platform::RunFinished).
void RunFinished();
// What the first request prints on standard error, and holding that back while the several
// ports' progress lines are drawn (they print it themselves, above the lines).
const char* InterruptNotice();
void HoldInterruptNotice(bool held);

}  // namespace talq::cli
