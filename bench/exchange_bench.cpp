// Get Status and Set Status in real time over a pseudo-terminal against the
// simulated printer, measured against the time their transcripts mandate
// (the same exchanges run in virtual time: pauses plus read time-outs).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/bench_table.h"
#include "link/printer_port.h"
#include "status/status_exchanges.h"
#include "support/com_port.h"
#include "support/recording_sink.h"
#include "support/scoped_platform.h"
#include "support/served_printer.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace {

using namespace talq;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;
constexpr int kModel = 0;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Runs {
    std::vector<double> getMs, setMs;
};

using Clocked = std::function<double()>;

// Runs Get Status then Set Status kRuns times; `now` reads the clock in ms.
Runs Measure(link::PrinterPort& port, const Clocked& now) {
    Runs runs;
    status::PrinterStatus record{};
    status::PrinterInfo info;
    test::RecordingSink sink;
    const status::StatusConnection connection{port, link::Serial, kModel};
    for (int i = 0; i < kRuns; ++i) {
        double start = now();
        status::GetStatus(connection, record, info, sink);
        runs.getMs.push_back(now() - start);
        start = now();
        status::SetStatus(connection, record, info, sink);
        runs.setMs.push_back(now() - start);
    }
    return runs;
}

}  // namespace

int main() {
    Runs mandated;
    {
        test::VirtualPlatform os;
        test::ScopedPlatform scoped(os);
        os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(kModel));
        link::PrinterPort port;
        if (!test::OpenCom(port, "COM1")) return 1;
        mandated = Measure(port, [&os] { return static_cast<double>(os.NowMs()); });
    }

    test::ServedPrinter served(kModel, "COM5");
    link::PrinterPort port;
    if (!served.Running() || !test::OpenCom(port, "COM5")) {
        std::fprintf(stderr, "cannot serve the simulated printer on a pseudo-terminal\n");
        return 1;
    }
    const auto epoch = Clock::now();
    const double cpuBefore = CpuSeconds();
    const Runs real = Measure(port, [epoch] {
        return std::chrono::duration<double, std::milli>(Clock::now() - epoch).count();
    });
    const double cpuShare = (CpuSeconds() - cpuBefore) * 1000.0 /
                            std::chrono::duration<double, std::milli>(Clock::now() - epoch).count();

    std::vector<double> getRatio, setRatio;
    for (int i = 0; i < kRuns; ++i) {
        getRatio.push_back(real.getMs[static_cast<std::size_t>(i)] / mandated.getMs[static_cast<std::size_t>(i)]);
        setRatio.push_back(real.setMs[static_cast<std::size_t>(i)] / mandated.setMs[static_cast<std::size_t>(i)]);
    }
    bench::PrintHeader("Exchanges over a pseudo-terminal, KTV-520plus (5 runs each)");
    bench::PrintTiming("Get Status wall ms (first run reads the texts too)", real.getMs);
    bench::PrintTiming("Get Status mandated ms", mandated.getMs);
    bench::PrintFactor("Get Status wall / mandated (target <= 1.03)", getRatio);
    bench::PrintTiming("Set Status wall ms", real.setMs);
    bench::PrintTiming("Set Status mandated ms", mandated.setMs);
    bench::PrintFactor("Set Status wall / mandated (target <= 1.03)", setRatio);
    bench::PrintRatio("CPU / wall over all runs (target <= 2%)", cpuShare * 100, "%");
    return 0;
}
