// talq.exe under Wine as a script runs it: `talq get` on COM5, which the Wine
// prefix leads to talq-printer-sim on a pseudo-terminal (wine_get_bench.sh sets
// it up), measured against the time its exchanges mandate (the same run in
// virtual time).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_table.h"
#include "cli/app.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace {

using namespace talq;
using Clock = std::chrono::steady_clock;
constexpr int kGetRuns = 5;

// Wall milliseconds of one run of the program, from its start to its end, its
// output thrown away; negative when it failed.
double TimedRun(std::string commandLine) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE nowhere =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nowhere;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const auto start = Clock::now();
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(nowhere);
    if (!started) return -1;
    WaitForSingleObject(process.hProcess, 120000);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code == 0 ? ms : -1;
}

// The virtual time one `talq get` takes: its pauses plus its read time-outs.
double MandatedGetMs() {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    os.AddDevice("COM5", std::make_shared<test::SimulatedPrinterDevice>(0));
    std::ostringstream out, err;
    const auto start = os.NowMs();
    if (cli::Run({"get", "--model", "0", "--port", "COM5", "-q"}, out, err) != 0) return -1;
    return static_cast<double>(os.NowMs() - start);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: talq-bench-wine-get TALQ_EXE\n");
        return 2;
    }
    const double mandated = MandatedGetMs();
    std::vector<double> wall, ratio;
    for (int run = 0; run < kGetRuns; ++run) {
        const double ms = TimedRun(std::string("\"") + argv[1] + "\" get --model 0 --port COM5 -q");
        if (ms < 0 || mandated <= 0) {
            std::fprintf(stderr, "talq.exe get failed\n");
            return 1;
        }
        wall.push_back(ms);
        ratio.push_back(ms / mandated);
    }
    bench::PrintHeader("talq.exe under Wine");
    bench::PrintTiming("talq.exe get wall ms (5 runs)", wall);
    bench::PrintTiming("talq.exe get mandated ms", {mandated});
    bench::PrintFactor("talq.exe get wall / mandated (target <= 1.05)", ratio);
    return 0;
}
