// Serves a SimulatedPrinter on a pseudo-terminal, so the real backend and the
// program can talk to it as to a printer on a serial line.
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

    SimulatedPrinter& printer_;
    int master_ = -1;
    int slaveKeepAlive_ = -1;
    std::string slavePath_;
    std::deque<std::uint8_t> unsent_;  // on the wire, not yet taken by the terminal
};

}  // namespace talq::sim
