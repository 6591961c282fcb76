// talq as a script runs it: `talq get` over a pseudo-terminal against the simulated printer,
// measured against the time its exchanges mandate (the same run in virtual time), and
// `talq show` from start to exit.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_table.h"
#include "bench/timed_run.h"
#include "cli/app.h"
#include "support/scoped_platform.h"
#include "support/served_printer.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace {

using namespace talq;
constexpr int kGetRuns = 5;
constexpr int kShowRuns = 50;

// Wall milliseconds of one run of talq, its output thrown away; negative when it failed.
double TimedTalq(const std::vector<std::string>& args) {
    return bench::RunTimed(TALQ_PATH, args).wallMs;
}

// The virtual time one `talq get` takes: its pauses plus its read time-outs.
double MandatedGetMs(int model) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    os.AddDevice("COM6", std::make_shared<test::SimulatedPrinterDevice>(model));
    std::ostringstream out, err;
    const auto start = os.NowMs();
    if (cli::Run({"get", "--model", std::to_string(model), "--port", "COM6", "-q"}, out, err) !=
        0) {
        return -1;
    }
    return static_cast<double>(os.NowMs() - start);
}

}  // namespace

int main() {
    const double mandated = MandatedGetMs(0);
    test::ServedPrinter served(0, "COM6");
    if (!served.Running() || mandated <= 0) {
        std::fprintf(stderr, "cannot serve the simulated printer on a pseudo-terminal\n");
        return 1;
    }
    std::vector<double> getMs, ratio;
    for (int i = 0; i < kGetRuns; ++i) {
        const double ms = TimedTalq({"get", "--model", "0", "--port", "COM6", "-q"});
        if (ms < 0) return 1;
        getMs.push_back(ms);
        ratio.push_back(ms / mandated);
    }

    char dir[] = "/tmp/talq-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr) return 1;
    const std::string file = std::string(dir) + "/f.sts";
    if (TimedTalq({"factory", "--model", "0", "-o", file}) < 0) return 1;
    std::vector<double> showMs;
    for (int i = 0; i < kShowRuns; ++i) {
        const double ms = TimedTalq({"show", file, "--model", "0"});
        if (ms < 0) return 1;
        showMs.push_back(ms);
    }
    ::unlink(file.c_str());
    ::rmdir(dir);

    bench::PrintHeader("talq, KTV-520plus on a pseudo-terminal");
    bench::PrintTiming("talq get wall ms (5 runs, process start to exit)", getMs);
    bench::PrintTiming("talq get mandated ms", {mandated});
    bench::PrintFactor("talq get wall / mandated (target <= 1.03)", ratio);
    bench::PrintTiming("talq show start to exit (50 runs, target <= 20 ms)", showMs);
    return 0;
}
