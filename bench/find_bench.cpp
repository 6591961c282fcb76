// `talq find` over ten ports: the worst case (ten ports where nothing answers, every line
// setting looked at, and the same --thorough), a printer at the last setting of the search,
// the worst over a printer at every setting of it, printers slow to answer, and ten ports with
// no device behind them. Real time on pseudo-terminals, and the time the exchanges mandate
// (virtual time) for a printer at a setting a pseudo-terminal cannot show.
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "setup/find_printer.h"
#include "support/pty_pair.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "tests/cli/child_process.h"

namespace {

using namespace talq;

std::vector<std::string> Ports(int count, const std::vector<std::string>& more = {}) {
    std::vector<std::string> args{"find", "-q"};
    for (int n = 1; n <= count; ++n) {
        args.insert(args.end(), {"--port", "COM" + std::to_string(n)});
    }
    args.insert(args.end(), more.begin(), more.end());
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

void Row(const std::string& what, double ms, int code, int expected) {
    std::printf("%-66s %8.1f  exit %d%s\n", what.c_str(), ms / 1000, code,
                code == expected ? "" : "  (unexpected)");
}

// Ten pseudo-terminals with nothing serving them, as COM1..COM10.
std::pair<double, int> SilentTenPorts(const std::vector<std::string>& more) {
    std::vector<std::unique_ptr<test::PtyPair>> silent;
    for (int n = 1; n <= 10; ++n) {
        silent.push_back(std::make_unique<test::PtyPair>());
        ::setenv(("TALQ_COM" + std::to_string(n)).c_str(), silent.back()->SlavePath().c_str(), 1);
    }
    return TimedTalq(Ports(10, more));
}

// talq-printer-sim with `args` on COM1, searched alone: ports run at once, so the other nine
// of ten add nothing to its time (the worst case shows it).
std::pair<double, int> SimulatorOnOnePort(std::vector<std::string> args,
                                          const std::vector<std::string>& more = {}) {
    args.insert(args.end(), {"--model", "0"});
    test::ChildProcess sim(TALQ_PRINTER_SIM_PATH, args);
    if (!sim.Collect(5000, /*untilFirstLine=*/true)) return {0, -1};
    ::setenv("TALQ_COM1", sim.out.substr(0, sim.out.find('\n')).c_str(), 1);
    return TimedTalq(Ports(1, more));
}

struct Virtual {
    setup::FindResult result;
    std::int64_t ms = 0;
};

// A search of COM1 for any model with the printer at `line`, in virtual time.
Virtual FindInVirtualTime(int model, const platform::LineSettings& line) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    auto device = std::make_shared<test::SimulatedPrinterDevice>(model);
    if (!device->Printer().SetLine({line.baudRate, line.dataBits,
                                    static_cast<sim::Parity>(line.parity), 1, sim::Flow::DtrDsr})) {
        return {};
    }
    os.AddDevice("COM1", device);
    setup::FindRequest request;
    request.portName = "COM1";
    request.lines = setup::SearchOrder(-1);
    link::PrinterPort port;
    setup::QueuePorts queues;
    const auto start = os.NowMs();
    Virtual found{setup::FindPrinter(port, queues, request), 0};
    found.ms = os.NowMs() - start;
    return found;
}

}  // namespace

int main() {
    const auto order = setup::SearchOrder(-1);
    std::printf(
        "\ntalq find, any model: %zu line settings a COM port; a silent setting costs %d ms "
        "(--thorough %d ms)\n",
        order.size(), setup::SilentTryMs(link::Serial), setup::SilentTryMs(link::Serial, true));
    std::printf("%-66s %8s\n", "measure", "seconds");

    auto [ms, code] = SilentTenPorts({});
    Row("ten ports, nothing answers anywhere (worst case), real", ms, code, 4);
    std::tie(ms, code) = SilentTenPorts({"--thorough"});
    Row("the same with --thorough, real", ms, code, 4);

    // Every setting of the search with a printer of each family at it: the last, and the
    // slowest to find, with the confirmations spent on bytes that only looked like an answer.
    const sim::LineSettings last{order.back().baudRate, order.back().dataBits,
                                 static_cast<sim::Parity>(order.back().parity), 1,
                                 sim::Flow::DtrDsr};
    const Virtual atLast = FindInVirtualTime(0, order.back());
    Row("printer at " + sim::Describe(last) + " (last of " + std::to_string(order.size()) +
            "), virtual",
        static_cast<double>(atLast.ms), atLast.result.outcome == setup::FindOutcome::Found ? 0 : 4,
        0);
    for (int model : {0, 1}) {
        Virtual slowest;
        std::size_t slowestAt = 0;
        int searches = 0, notFound = 0, wasted = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Virtual found = FindInVirtualTime(model, order[i]);
            if (found.result.settingsTried == 0) continue;  // a setting the model cannot hold
            ++searches;
            if (found.result.outcome != setup::FindOutcome::Found) ++notFound;
            // One exchange a setting, and the confirmation where it answered.
            wasted += found.result.tries - found.result.settingsTried - 1;
            if (found.ms > slowest.ms) {
                slowest = found;
                slowestAt = i;
            }
        }
        const platform::LineSettings& s = order[slowestAt];
        const sim::LineSettings at{s.baudRate, s.dataBits, static_cast<sim::Parity>(s.parity), 1,
                                   sim::Flow::DtrDsr};
        Row(std::string(model == 0 ? "KTV-520plus" : "KTV-540/542") + " at each of " +
                std::to_string(searches) + " settings: slowest " + sim::Describe(at) + ", virtual",
            static_cast<double>(slowest.ms), notFound == 0 ? 0 : 4, 0);
        std::printf("  %d not found; %d confirmations spent on bytes that were no answer\n",
                    notFound, wasted);
    }

    // A pseudo-terminal shows no character size and parity only as odd: the latest setting of
    // the search it can tell from those before is 2400 8 Odd.
    const std::vector<std::string> latestShown{"--baud", "2400", "--parity", "Odd"};
    std::tie(ms, code) = SimulatorOnOnePort(latestShown);
    Row("printer at 2400 8 Odd 1 DTR/DSR, real (pseudo-terminal)", ms, code, 0);

    // Printers slow to answer, at the factory setting (the first one looked at). Check
    // Communication waits about 200 ms for each text, so a printer slower than that at every
    // reply is not identified by it either; one slow only after its reset is, up to 1.3 s.
    std::tie(ms, code) = SimulatorOnOnePort({"--delay", "150"});
    Row("printer answering every question after 150 ms, real: found", ms, code, 0);
    std::tie(ms, code) = SimulatorOnOnePort({"--reset-time", "250"});
    Row("printer answering 250 ms after its reset, real: found", ms, code, 0);
    std::tie(ms, code) = SimulatorOnOnePort({"--reset-time", "1000"});
    Row("printer answering 1000 ms after its reset, real: nothing answered", ms, code, 4);
    std::tie(ms, code) = SimulatorOnOnePort({"--reset-time", "1000"}, {"--thorough"});
    Row("the same with --thorough, real: found", ms, code, 0);

    for (int n = 1; n <= 10; ++n) {
        ::setenv(("TALQ_COM" + std::to_string(n)).c_str(), "/nonexistent/talq-bench", 1);
    }
    std::tie(ms, code) = TimedTalq(Ports(10));
    Row("ten ports with no device behind them, real", ms, code, 3);
    std::printf(
        "target: a printer at the least likely setting found in under 30 s; a port with nothing "
        "behind it given up within its bound\n");
    return 0;
}
