// Serial layer figures on a real pseudo-terminal: how long reads wait, and
// whether the waiting costs CPU.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/bench_table.h"
#include "link/printer_port.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    setenv("TALQ_COM1", ptsname(master), 1);

    talq::link::PrinterPort port;
    talq::link::PortSettings settings;
    settings.portName = "COM1";
    settings.baudRate = 115200;
    settings.dataBits = 8;
    if (port.Configure(settings) != 1 || port.Open() != 1) {
        std::fprintf(stderr, "cannot open the pseudo-terminal as COM1\n");
        return 1;
    }

    std::uint8_t buffer[16];
    constexpr int kRuns = 100;

    std::vector<double> silent;
    const double cpuBefore = CpuSeconds();
    const auto wallBefore = Clock::now();
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        port.Read(buffer, 1, 1000);
        silent.push_back(Ms(Clock::now() - start));
    }
    const double wall = Ms(Clock::now() - wallBefore) / 1000.0;
    const double cpuShare = (CpuSeconds() - cpuBefore) / wall;

    std::vector<double> afterThree;
    const std::uint8_t three[3] = {0x5F, 0x4B, 0x00};
    for (int i = 0; i < kRuns; ++i) {
        if (write(master, three, sizeof three) != 3) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const auto start = Clock::now();
        port.Read(buffer, 16, 1000);
        afterThree.push_back(Ms(Clock::now() - start));
    }
    port.Close();
    close(master);

    talq::bench::PrintHeader("Serial layer on a pseudo-terminal");
    talq::bench::PrintTiming("Read(1) on silence (target median 20 +/- 3 ms)", silent);
    talq::bench::PrintTiming("Read(16) after 3 bytes", afterThree);
    talq::bench::PrintRatio("CPU / wall over 100 silent reads (target <= 2%)", cpuShare * 100, "%");
    return 0;
}
