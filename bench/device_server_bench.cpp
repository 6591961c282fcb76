// Get Status through a device server (Debian's ser2net on loopback, the COM port control
// option) against the same exchange straight on the simulated printer's pseudo-terminal:
// what the network and the server add.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_table.h"
#include "link/printer_port.h"
#include "status/status_exchanges.h"
#include "support/com_port.h"
#include "support/recording_sink.h"
#include "support/ser2net_server.h"
#include "support/served_printer.h"

namespace {

using namespace talq;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;
constexpr int kModel = 0;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Runs {
    double openMs = 0;
    std::vector<double> getMs;
};

// Opens the port, then runs Get Status kRuns times on it; empty when it cannot be opened.
Runs Measure(const std::string& portName) {
    Runs runs;
    link::PrinterPort port;
    const auto opening = Clock::now();
    if (!test::OpenCom(port, portName)) return runs;
    runs.openMs = MsSince(opening);
    status::PrinterStatus record{};
    status::PrinterInfo info;
    test::RecordingSink sink;
    const status::StatusConnection connection{port, link::Serial, kModel};
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        if (status::GetStatus(connection, record, info, sink) != status::ExchangeResult::Success) {
            return {};
        }
        runs.getMs.push_back(MsSince(start));
    }
    port.Close();
    return runs;
}

}  // namespace

int main() {
    test::ServedPrinter served(kModel, "COM5");
    test::Ser2netServer server(served.Path());
    if (!served.Running() || !server.Running()) {
        std::fprintf(stderr, "cannot serve the simulated printer through ser2net\n");
        return 1;
    }
    ::setenv("TALQ_COM6", server.ComPortAddress().c_str(), 1);
    const Runs pty = Measure("COM5");
    const Runs network = Measure("COM6");
    if (pty.getMs.size() != kRuns || network.getMs.size() != kRuns) {
        std::fprintf(stderr, "Get Status failed on %s\n", pty.getMs.empty() ? "the pty" : "COM6");
        return 1;
    }
    std::vector<double> ratio;
    for (std::size_t i = 0; i < kRuns; ++i) ratio.push_back(network.getMs[i] / pty.getMs[i]);

    bench::PrintHeader("Get Status through ser2net on loopback, KTV-520plus (5 runs each)");
    bench::PrintTiming("Get Status on the pseudo-terminal, ms", pty.getMs);
    bench::PrintTiming("Get Status over rfc2217 on loopback, ms", network.getMs);
    bench::PrintFactor("rfc2217 / pseudo-terminal (target <= 1.05)", ratio);
    bench::PrintTiming("Open on the pseudo-terminal, ms", {pty.openMs});
    bench::PrintTiming("Open over rfc2217 (connect, option, line, purge), ms", {network.openMs});
    return 0;
}
