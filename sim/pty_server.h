// Serves a SimulatedPrinter on a pseudo-terminal, so the real backend and the
// program can talk to it as to a printer on a serial line. The client's line
// settings are read from the terminal (the master sees what the client set)
// before each chunk of its bytes, so a client at the wrong speed gets what a
// printer at another speed gives: garbage or nothing. When a client
// closes the terminal, the printer drops what that client left half-sent and
// every reply it did not read, so the next client starts clean. (Closing is
// seen through inotify on the terminal's device node; with two clients at
// once, either one closing resets the line for both.)
#pragma once

#include <termios.h>

#include <cstdint>
#include <deque>
#include <string>

#include "sim/simulated_printer.h"

namespace talq::sim {

// The client's line as a pseudo-terminal shows it. Linux keeps the speed, CSTOPB, PARODD,
// CRTSCTS and IXON/IXOFF a client sets, but stores every termios of a pseudo-terminal with CS8
// and without PARENB: seven data bits and even parity leave no trace. What cannot be seen is
// taken to agree with `printer`, except that a client without PARODD is not at odd parity (a
// client sets PARODD only with PARENB), so it reads as None to a printer at odd parity.
LineSettings ClientLineOnTerminal(const termios& attributes, const LineSettings& printer);

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
    // Tells the printer how the client has set its end of the line.
    void ReadClientLine();
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
