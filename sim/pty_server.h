// Serves a SimulatedPrinter on a pseudo-terminal, so the real backend and the
// program can talk to it as to a printer on a serial line. When a client
// closes the terminal, the printer drops what that client left half-sent and
// every reply it did not read, so the next client starts clean. (Closing is
// seen through inotify on the terminal's device node; with two clients at
// once, either one closing resets the line for both.)
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "sim/simulated_printer.h"

namespace talq::sim {

class PtyServer {
public:
    explicit PtyServer(SimulatedPrinter& printer) : printer_(printer) {}
    ~PtyServer();

    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pseudo-terminal; false with errno set when it cannot.
    bool Open();
    // The device path clients open, e.g. /dev/pts/4.
    const std::string& SlavePath() const { return slavePath_; }

    // Serves until `stopFd` becomes readable (a signalfd, a pipe). Returns
    // false when the terminal fails.
    bool Run(int stopFd);

private:
    static std::int64_t NowMs();
    bool PumpInput();
    bool PumpOutput();
    // Reads the close notices; true when a client closed the terminal.
    bool ClientClosed();
    void DropClientState();

    SimulatedPrinter& printer_;
    int master_ = -1;
    int slaveKeepAlive_ = -1;
    int closeWatch_ = -1;  // inotify descriptor watching the terminal for closes
    std::string slavePath_;
    // On the wire, not yet taken by the terminal. Refilled from the printer
    // only when empty, so a client that never reads leaves at most one
    // batch here and the printer's bounded queue behind it.
    std::deque<std::uint8_t> unsent_;
};

}  // namespace talq::sim
