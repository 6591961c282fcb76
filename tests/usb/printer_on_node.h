// Plays the simulated printer on the far end of a USB printer node's
// pseudo-terminal, from a thread of the test.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "sim/simulated_printer.h"

namespace talq::usbtest {

class PrinterOnNode {
public:
  // `setup` readies the printer before it serves.
  template <typename Setup = void (*)(sim::SimulatedPrinter&)>
  PrinterOnNode(
      int model, int fd, Setup setup = [](sim::SimulatedPrinter&) {})
      : printer_(model), fd_(fd) {
      setup(printer_);
      thread_ = std::thread([this] { Serve(); });
  }
    ~PrinterOnNode() { Stop(); }
    PrinterOnNode(const PrinterOnNode&) = delete;
    PrinterOnNode& operator=(const PrinterOnNode&) = delete;

    // Stops serving; only then may the test look into the printer.
    sim::SimulatedPrinter& StopAndInspect() {
        Stop();
        return printer_;
    }

private:
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }

    void Serve() {
        std::uint8_t buffer[256];
        while (!stop_) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, 20) > 0 && (pfd.revents & POLLIN)) {
                const ssize_t n = ::read(fd_, buffer, sizeof buffer);
                if (n > 0) printer_.Receive(buffer, static_cast<std::size_t>(n));
            }
            const auto reply = printer_.TakeOutput();
            if (!reply.empty() && ::write(fd_, reply.data(), reply.size()) < 0) return;
        }
    }

    sim::SimulatedPrinter printer_;
    int fd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace talq::usbtest
