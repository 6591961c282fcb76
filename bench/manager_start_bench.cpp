// Cold start of talq-manager to its connection dialog shown on the offscreen
// platform, and the program's peak resident memory, over ten runs. Targets:
// median at most 300 ms, at most 60 MB resident.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_table.h"

namespace {

constexpr int kRuns = 10;

// Runs the program once; returns false when it did not end with 0.
bool RunOnce(double& ms, double& residentMb) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The dialog ends itself as soon as it is up.
        setenv("TALQ_QUIT_WHEN_SHOWN", "1", 1);
        execl(TALQ_MANAGER_PATH, TALQ_MANAGER_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return false;
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    residentMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main() {
    std::vector<double> times;
    std::vector<double> resident;
    for (int run = 0; run < kRuns; ++run) {
        double ms = 0;
        double mb = 0;
        if (!RunOnce(ms, mb)) {
            std::fprintf(stderr, "talq-manager did not start and end cleanly\n");
            return 1;
        }
        times.push_back(ms);
        resident.push_back(mb);
    }
    talq::bench::PrintHeader("talq-manager start-up (offscreen, 10 runs)");
    talq::bench::PrintTiming("cold start to connection dialog shown (target <= 300 ms)", times);
    talq::bench::PrintFactor("peak resident memory, MB (target <= 60)", resident);
    return 0;
}
