// A simulated printer on a pseudo-terminal that notes the line settings of its line as each
// command byte arrives. The master side's tcgetattr reads the terminal as whoever opened the
// slave (ser2net, say) set it, so the settings are checked where the printer is, end to end.
// A Linux terminal keeps no character size or parity of its own (always 8 bits, none): the
// speed, the stop bits and the flow control are what it can show.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/simulated_printer.h"
#include "support/pty_pair.h"

namespace talq::test {

struct LineSeen {
    int baudRate = 0;
    bool twoStopBits = false;
    bool hardwareFlow = false;  // CRTSCTS
    bool xonXoff = false;       // IXON and IXOFF

    bool operator==(const LineSeen&) const = default;
};

class LinePrinter {
  public:
    explicit LinePrinter(int model);
    ~LinePrinter() { Stop(); }
    LinePrinter(const LinePrinter&) = delete;
    LinePrinter& operator=(const LinePrinter&) = delete;

    bool Running() const { return thread_.joinable(); }
    const std::string& Path() const { return pty_.SlavePath(); }
    // Each change of the line settings that command bytes arrived under, in order.
    std::vector<LineSeen> LinesSeen();
    void ForgetLines();
    std::size_t BytesReceived() const { return received_; }
    // Stops serving; only then may the test look into the printer.
    sim::SimulatedPrinter& StopAndInspect() {
        Stop();
        return printer_;
    }

  private:
    void Serve();
    void Stop();

    PtyPair pty_;
    sim::SimulatedPrinter printer_;
    int stop_[2] = {-1, -1};
    std::mutex mutex_;
    std::vector<LineSeen> seen_;
    std::atomic<std::size_t> received_{0};
    std::thread thread_;
};

}  // namespace talq::test
