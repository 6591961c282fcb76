// `talq find` over ten ports: the worst case (ten ports where nothing answers, every line
// setting tried), a printer at the last setting of the search among nine silent ports, and a
// port with nothing behind it. Real time on pseudo-terminals, and the time the exchanges
// mandate (virtual time) for a printer at a setting a pseudo-terminal cannot show.
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_table.h"
#include "cli/app.h"
#include "setup/find_printer.h"
#include "support/pty_pair.h"
#include "support/scoped_platform.h"
#include "support/served_printer.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace {

using namespace talq;

std::vector<std::string> Ports(int count) {
    std::vector<std::string> args{"find", "-q"};
    for (int n = 1; n <= count; ++n) {
        args.insert(args.end(), {"--port", "COM" + std::to_string(n)});
    }
    return args;
}

// Wall milliseconds of one talq run, and its exit code.
std::pair<double, int> TimedTalq(const std::vector<std::string>& args) {
    std::string command = TALQ_PATH;
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {ms, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Ten pseudo-terminals with nothing serving them, as COM1..COM10.
double SilentTenPorts(int& exitCode) {
    std::vector<std::unique_ptr<test::PtyPair>> silent;
    for (int n = 1; n <= 10; ++n) {
        silent.push_back(std::make_unique<test::PtyPair>());
        ::setenv(("TALQ_COM" + std::to_string(n)).c_str(), silent.back()->SlavePath().c_str(), 1);
    }
    const auto [ms, code] = TimedTalq(Ports(10));
    exitCode = code;
    return ms;
}

// The simulated printer at `line` on COM1, searched alone: ports run at once, so the other
// nine of ten add nothing to its time (the worst case above shows it).
double PrinterOnOnePort(const sim::LineSettings& line, int& exitCode) {
    test::ServedPrinter printer(0, "COM1", line);
    const auto [ms, code] = TimedTalq(Ports(1));
    exitCode = code;
    return ms;
}

// The same in virtual time: what the exchanges' pauses and read bounds add up to.
double MandatedFindMs(const sim::LineSettings& line) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    auto device = std::make_shared<test::SimulatedPrinterDevice>(0);
    device->Printer().SetLine(line);
    os.AddDevice("COM1", device);
    std::ostringstream out, err;
    const auto start = os.NowMs();
    if (cli::Run(Ports(1), out, err) != 0) return -1;
    return static_cast<double>(os.NowMs() - start);
}

}  // namespace

int main() {
    const auto order = setup::SearchOrder(-1);
    const auto& last = order.back();
    const sim::LineSettings lastLine{last.baudRate, last.dataBits,
                                     static_cast<sim::Parity>(last.parity), 1, sim::Flow::DtrDsr};
    std::printf(
        "\ntalq find over COM1..COM10, any model: %zu line settings a port, one try "
        "%d ms where nothing answers\n",
        order.size(), setup::SilentTryMs(link::Serial));
    std::printf("%-62s %10s\n", "measure", "seconds");

    int code = 0;
    const double worst = SilentTenPorts(code);
    std::printf("%-62s %10.1f\n", "ten ports, nothing answers anywhere (worst case), real",
                worst / 1000);
    if (code != 4) std::fprintf(stderr, "  (talq find exited %d, not 4)\n", code);

    const double mandated = MandatedFindMs(lastLine);
    std::printf("%-62s %10.1f\n",
                ("printer at " + sim::Describe(lastLine) + " (last of 42), virtual").c_str(),
                mandated / 1000);

    // A pseudo-terminal shows no character size and parity only as odd: the latest setting of
    // the search it can tell from those before is 2400 8 Odd.
    const sim::LineSettings latestShown{2400, 8, sim::Parity::Odd, 1, sim::Flow::DtrDsr};
    const double shown = PrinterOnOnePort(latestShown, code);
    std::printf("%-62s %10.1f\n",
                ("printer at " + sim::Describe(latestShown) + ", real (pseudo-terminal)").c_str(),
                shown / 1000);
    if (code != 0) std::fprintf(stderr, "  (talq find exited %d, not 0)\n", code);

    for (int n = 1; n <= 10; ++n) {
        ::setenv(("TALQ_COM" + std::to_string(n)).c_str(), "/nonexistent/talq-bench", 1);
    }
    const auto [absent, absentCode] = TimedTalq(Ports(10));
    std::printf("%-62s %10.3f\n", "ten ports with no device behind them, real", absent / 1000);
    (void)absentCode;
    std::printf("target: a printer at the least likely setting found in under 30 s\n");
    return 0;
}
