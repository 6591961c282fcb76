// talq doctor: one report over the whole way to the printer, and a bundle of it with the trace
// of the printer check for a support ticket.
#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/commands.h"
#include "cli/doctor_checks.h"
#include "cli/doctor_probe.h"
#include "cli/interrupts.h"
#include "cli/port_access.h"
#include "cli/port_names.h"
#include "cli/usb_entries.h"
#include "platform/device_diagnostics.h"
#include "platform/network_address.h"
#include "platform/port_mapping.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"
#include "platform/tracing_platform.h"
#include "platform/utf8_names.h"

namespace talq::cli {
namespace {

// Without --port: the COM and LPT ports whose device is there or that a mapping names (an
// adapter unplugged is worth telling), then the USB printers.
std::vector<std::string> PortsToExamine(bool quiet) {
    std::vector<std::string> names;
    for (const std::string& name : FixedPortNames()) {
        if (platform::MappingOfPort(name).source != platform::MappingSource::Default ||
            ExaminePortAccess(name).exists) {
            names.push_back(name);
        }
    }
    for (std::string& entry : UsbEntries(quiet)) names.push_back(std::move(entry));
    return names;
}

std::optional<Failure> CheckPortWord(const std::string& name) {
    if (platform::IsNetworkAddress(name)) {
        if (auto problem = platform::ProblemWithNetworkAddress(name)) {
            return Failure{kExitUsage, "--port " + *problem};
        }
        return std::nullopt;
    }
    if (PortKindOfName(name)) return std::nullopt;
    return Failure{kExitUsage, "--port \"" + name +
                                   "\": unknown port (COM1..COM10, LPT1..LPT3, a USB entry that "
                                   "`talq ports` lists, or a device server's address)"};
}

// The ports files' reports are findings of the report here, not lines on stderr.
class PortsFileReportsHeld {
  public:
    PortsFileReportsHeld() : previous_(platform::SetPortsFileReportWriter([](const auto&) {})) {}
    ~PortsFileReportsHeld() { platform::SetPortsFileReportWriter(std::move(previous_)); }

  private:
    platform::PortsFileReportWriter previous_;
};

// The printer check on every port whose section found nothing in its way, all at once.
void ProbePorts(const Console& console, std::vector<ReportSection>& sections) {
    std::vector<std::thread> probes;
    std::vector<setup::FindResult> outcomes(sections.size());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (sections[i].HasProblem()) continue;
        console.Message(sections[i].port + ": looking for a printer (" +
                        ProbePlan(sections[i].port) + ")");
        probes.emplace_back([&, i] {
            const platform::TracePort traced(sections[i].port);
            outcomes[i] = ProbePort(sections[i].port);
        });
    }
    for (std::thread& probe : probes) probe.join();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (sections[i].HasProblem()) {
            sections[i].Add("printer", Verdict::Skipped,
                            "not tried: what is wrong above comes first");
        } else {
            AddProbeFinding(outcomes[i], sections[i]);
        }
    }
}

bool OnlyComments(const std::string& trace) {
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("#")) return false;
    }
    return true;
}

std::string BundleText(const std::vector<std::string>& arguments, const std::string& report,
                       const std::string& trace) {
    std::string command = "talq";
    for (const std::string& argument : arguments) command += " " + argument;
    return "talq doctor bundle: attach this file to the support ticket\n"
           "talq " TALQ_VERSION "\n"
           "command: " +
           command + "\n\n== report ==\n" + report + "\n== trace of the printer check ==\n" +
           trace + (OnlyComments(trace) ? "(no device was opened)\n" : "");
}

}  // namespace

int RunDoctor(const Console& console, const DoctorOptions& options, platform::TraceLog* trace,
              const std::vector<std::string>& arguments) {
    for (const std::string& name : options.ports) {
        if (const auto failure = CheckPortWord(name)) return Report(console, *failure).exitCode;
    }
    if (!options.bundle.empty()) {
        // Found out before anything is sent; the bundle itself is written whole at the end.
        errno = 0;
        std::ofstream writable(platform::PathFromUtf8(options.bundle), std::ios::app);
        if (!writable) {
            return Report(console, {kExitFileFailed, "--bundle " + options.bundle +
                                                         ": cannot be written: " +
                                                         std::generic_category().message(errno)})
                .exitCode;
        }
    }
    const PortsFileReportsHeld held;
    std::ostringstream probeTrace;
    std::unique_ptr<platform::TraceLog> ownTrace;
    std::optional<platform::ScopedTrace> tracing;
    if (!options.bundle.empty()) {
        if (trace == nullptr) {
            ownTrace = std::make_unique<platform::TraceLog>(platform::TraceHeader("talq", arguments));
            trace = ownTrace.get();
            tracing.emplace(*trace);
        }
        trace->AddCopy(probeTrace);
    }

    DoctorReport report;
    report.system = platform::SystemDescription();
    report.user = platform::UserName();
    const std::vector<std::string> names =
        options.ports.empty() ? PortsToExamine(console.quiet) : options.ports;
    bool usb = options.ports.empty();
    for (const std::string& name : names) {
        report.sections.push_back(ExaminePort(name));
        usb = usb || PortKindOfName(name) == link::Usb;
    }
    ProbePorts(console, report.sections);
    if (usb) report.sections.push_back(ExamineUsbBus());
    report.sections.push_back(ExaminePortsFiles());

    int code = InterruptRequested()  ? kExitInterrupted
               : report.Problems() > 0 ? kExitProblemsFound
                                       : kExitDone;
    const std::string text = ReportText(report);
    console.out << (options.json ? JsonText(ReportJson(report, code)) : text) << std::flush;
    if (!options.bundle.empty()) {
        const std::string bundle = BundleText(arguments, text, probeTrace.str());
        const int error = platform::ReplaceFileContents(
            options.bundle, {reinterpret_cast<const std::uint8_t*>(bundle.data()), bundle.size()});
        if (error != 0) {
            code = std::max(code, Report(console, {kExitFileFailed,
                                                   "--bundle " + options.bundle +
                                                       ": cannot be written: " +
                                                       platform::SystemReason(error)})
                                      .exitCode);
        } else {
            console.Message("written: " + options.bundle);
        }
    }
    return code;
}

}  // namespace talq::cli
