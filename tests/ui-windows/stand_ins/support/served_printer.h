// Under Wine the printer simulator cannot serve a pseudo-terminal from inside
// the test program: this stand-in never runs, and the suite leaves the
// real-time cases out (--gtest_filter). The serial line under Wine is walked
// by the serial suite and the end-to-end run against the simulator instead.
#pragma once

#include <string>

#include "sim/simulated_printer.h"

namespace talq::test {

class ServedPrinter {
  public:
    ServedPrinter(int model, const std::string&) : printer_(model) {}
    bool Running() const { return false; }
    sim::SimulatedPrinter& StopAndInspect() { return printer_; }

  private:
    sim::SimulatedPrinter printer_;
};

}  // namespace talq::test
