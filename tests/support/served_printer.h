// A simulated printer served on a real pseudo-terminal from a thread of the
// test, with COMn pointing at it, for real-time runs of whole exchanges.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <thread>

#include "sim/pty_server.h"
#include "sim/simulated_printer.h"

namespace talq::test {

class ServedPrinter {
  public:
    // `line`: the printer's own line settings; by default the model's factory ones.
    ServedPrinter(int model, const std::string& portName,
                  const std::optional<sim::LineSettings>& line = std::nullopt)
        : printer_(model), server_(printer_), variable_("TALQ_" + portName) {
        if (line && !printer_.SetLine(*line)) return;
        if (!server_.Open() || ::pipe(stop_) != 0) return;
        ::setenv(variable_.c_str(), server_.SlavePath().c_str(), 1);
        thread_ = std::thread([this] { server_.Run(stop_[0]); });
    }
    ~ServedPrinter() {
        Stop();
        ::unsetenv(variable_.c_str());
        for (int fd : stop_) {
            if (fd >= 0) ::close(fd);
        }
    }
    ServedPrinter(const ServedPrinter&) = delete;
    ServedPrinter& operator=(const ServedPrinter&) = delete;

    bool Running() const { return thread_.joinable(); }
    // The terminal the printer answers on.
    const std::string& Path() const { return server_.SlavePath(); }
    // Stops serving; only then may the test look into the printer.
    sim::SimulatedPrinter& StopAndInspect() {
        Stop();
        return printer_;
    }

  private:
    void Stop() {
        if (!thread_.joinable()) return;
        const char byte = 0;
        [[maybe_unused]] const auto written = ::write(stop_[1], &byte, 1);
        thread_.join();
    }

    sim::SimulatedPrinter printer_;
    sim::PtyServer server_;
    std::string variable_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace talq::test
