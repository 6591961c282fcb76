// The installed package's footprint: peak resident memory of the installed `talq show` and of
// the installed talq-manager up to its first dialog (offscreen), ten runs each. The package's
// installed size is printed by the target that unpacks it.
//   talq-bench-package-footprint ROOT    (ROOT holds usr/bin/ of the unpacked package)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_table.h"

namespace {

constexpr int kRuns = 10;

// Peak resident MB of one run of `argv`, output thrown away; negative when it failed.
double PeakResidentMb(const std::vector<std::string>& args) {
    std::fflush(stdout);  // else the child would write the table again
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

bool Measure(const char* what, const std::vector<std::string>& args) {
    std::vector<double> mb;
    for (int run = 0; run < kRuns; ++run) {
        const double value = PeakResidentMb(args);
        if (value < 0) {
            std::fprintf(stderr, "%s failed\n", args[0].c_str());
            return false;
        }
        mb.push_back(value);
    }
    talq::bench::PrintFactor(what, mb);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: talq-bench-package-footprint ROOT\n");
        return 2;
    }
    const std::string bin = std::string(argv[1]) + "/usr/bin/";
    const std::string file = std::string(argv[1]) + "/factory.sts";
    if (PeakResidentMb({bin + "talq", "factory", "--model", "0", "-o", file}) < 0) return 1;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TALQ_QUIT_WHEN_SHOWN", "1", 1);  // the dialog ends itself once it is painted

    talq::bench::PrintHeader("installed package, peak resident memory in MB (10 runs)");
    const bool ok = Measure("talq show FILE --model 0", {bin + "talq", "show", file, "--model", "0"}) &&
                    Measure("talq-manager to its first dialog (offscreen)", {bin + "talq-manager"});
    return ok ? 0 : 1;
}
