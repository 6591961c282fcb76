// talq as a script runs it: `talq get` over a pseudo-terminal against the simulated printer,
// measured against the time its exchanges mandate (the same run in virtual time), and
// `talq show` from start to exit.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_table.h"
#include "cli/app.h"
#include "support/scoped_platform.h"
#include "support/served_printer.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

extern char** environ;

namespace {

using namespace talq;
using Clock = std::chrono::steady_clock;
constexpr int kGetRuns = 5;
constexpr int kShowRuns = 50;

// Wall milliseconds of one run of talq, its output thrown away; negative when it failed.
double TimedTalq(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv{const_cast<char*>(TALQ_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, TALQ_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (rc != 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
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
