// `talq get` over several simulated printers on pseudo-terminals at once: the wall time for N
// ports against one port's, the processor time per port, and the peak resident memory.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_table.h"
#include "bench/timed_run.h"
#include "support/served_printer.h"

namespace {

using namespace talq;
constexpr int kRuns = 3;

struct Figures {
    std::vector<double> wallMs, cpuShare;  // cpuShare: percent of the wall per port
    long peakKb = 0;
};

// kRuns runs of `talq get` over the first `count` of `ports`.
bool Measure(const std::vector<std::string>& ports, std::size_t count, Figures& figures) {
    std::vector<std::string> args{"get", "--model", "0", "-q"};
    for (std::size_t i = 0; i < count; ++i) args.insert(args.end(), {"--port", ports[i]});
    for (int i = 0; i < kRuns; ++i) {
        const bench::TimedRun run = bench::RunTimed(TALQ_PATH, args);
        if (run.wallMs < 0) return false;
        figures.wallMs.push_back(run.wallMs);
        figures.cpuShare.push_back(100.0 * run.cpuMs / run.wallMs / static_cast<double>(count));
        figures.peakKb = std::max(figures.peakKb, run.peakKb);
    }
    return true;
}

// One table per kind of port: N ports against one.
bool Report(const char* title, const std::vector<std::string>& ports,
            const std::vector<std::size_t>& counts) {
    std::vector<Figures> all(counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (!Measure(ports, counts[i], all[i])) return false;
    }
    bench::PrintHeader(title);
    const double one = bench::Percentile(all[0].wallMs, 0.5);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const std::string n = std::to_string(counts[i]);
        bench::PrintTiming(("talq get over " + n + " ports, wall").c_str(), all[i].wallMs);
        std::vector<double> factor;
        for (double ms : all[i].wallMs) factor.push_back(ms / one);
        if (i > 0) {
            bench::PrintFactor(("  wall " + n + " / wall 1 (target <= 1.2 at 16)").c_str(), factor);
        }
        bench::PrintFactor("  CPU % of wall per port (target <= 2)", all[i].cpuShare);
        bench::PrintRatio(("  peak resident memory, " + n + " ports").c_str(),
                          static_cast<double>(all[i].peakKb) / 1024.0, "MiB");
    }
    return true;
}

}  // namespace

int main() {
    // Sixteen printers, each served from a thread of this process on a terminal of its own.
    std::vector<std::unique_ptr<test::ServedPrinter>> printers;
    std::vector<std::string> usb, serial;
    for (int i = 1; i <= 16; ++i) {
        const std::string com = "COM" + std::to_string(i);
        printers.push_back(std::make_unique<test::ServedPrinter>(0, i <= 10 ? com : "SIM" + com));
        if (!printers.back()->Running()) {
            std::fprintf(stderr, "cannot serve the simulated printers on pseudo-terminals\n");
            return 1;
        }
        usb.push_back("520plus:" + printers.back()->Path());
        if (i <= 10) serial.push_back(com);
    }
    // USB names reach any number of terminals; serial ones end at COM10.
    if (!Report("talq get at once, KTV-520plus on pseudo-terminals named as USB entries", usb,
                {1, 4, 16}) ||
        !Report("talq get at once, KTV-520plus on pseudo-terminals as COM1..COM10", serial,
                {1, 4, 10})) {
        std::fprintf(stderr, "talq get failed\n");
        return 1;
    }
    return 0;
}
