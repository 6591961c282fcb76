// --trace: what talq did on the wire of a real line, compared with the transcript of the same
// exchange in virtual time.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <sstream>

#include "child_process.h"
#include "support/fake_spooler.h"
#include "support/line_printer.h"
#include "support/scoped_platform.h"
#include "support/ser2net_server.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

constexpr int kDeadlineMs = 60000;

// A transcript line with the device's path left out, which differs between the two runs.
std::string WithoutPath(const std::string& line) {
    return line.rfind("open ", 0) == 0 ? "open" : line;
}

// The operations of each port in a trace, in the transcripts' form: time, port and remarks
// taken off. A line that does not have the trace's shape fails the test.
std::map<std::string, std::vector<std::string>> TraceOperations(const std::string& trace) {
    std::map<std::string, std::vector<std::string>> ports;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("#")) continue;
        std::istringstream fields(line);
        std::string seconds, port;
        fields >> seconds >> port;
        std::string operation;
        std::getline(fields >> std::ws, operation);
        EXPECT_NE(seconds.find('.'), std::string::npos) << line;
        ports[port].push_back(WithoutPath(operation.substr(0, operation.find("  "))));
    }
    return ports;
}

// The transcript of `command` on a KTV-520plus at COM1 in virtual time.
std::vector<std::string> VirtualTranscript(const std::string& command) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(0));
    EXPECT_EQ(test::RunTalq({command, "--model", "0", "--port", "COM1"}).exitCode, 0);
    std::vector<std::string> lines;
    for (const std::string& line : os.Transcript()) lines.push_back(WithoutPath(line));
    return lines;
}

TEST(Trace, ARealExchangeOnTwoPortsAtOnceHoldsTheVirtualTimeTranscriptForEach) {
    const std::vector<std::string> golden = VirtualTranscript("get");

    test::ScratchDir dir;
    std::vector<std::unique_ptr<test::ChildProcess>> printers;
    for (const std::string name : {"COM1", "COM2"}) {
        const std::string link = dir / name;
        printers.push_back(std::make_unique<test::ChildProcess>(
            TALQ_PRINTER_SIM_PATH, std::vector<std::string>{"--model", "0", "--link", link}));
        ASSERT_TRUE(printers.back()->Collect(5000, /*untilFirstLine=*/true));
        ::setenv(("TALQ_" + name).c_str(), link.c_str(), 1);
    }
    const std::string trace = dir / "trace.txt";
    test::ChildProcess talq(TALQ_PATH, {"get", "--model", "0", "--port", "COM1", "--port", "COM2",
                                        "--trace", trace});
    EXPECT_EQ(test::RunToEnd(talq, kDeadlineMs), 0) << talq.err;
    ::unsetenv("TALQ_COM1");
    ::unsetenv("TALQ_COM2");

    const auto ports = TraceOperations(test::ReadText(trace));
    ASSERT_EQ(ports.size(), 2u) << test::ReadText(trace);
    EXPECT_EQ(ports.at("COM1"), golden);
    EXPECT_EQ(ports.at("COM2"), golden);
}

// Telnet negotiation, the COM port control commands and doubled 0xFF bytes stay off the trace.
TEST(Trace, BehindADeviceServerItHoldsThePrintersBytesWithoutTheTelnetFraming) {
    test::LinePrinter printer(0);
    test::Ser2netServer server(printer.Path());
    ASSERT_TRUE(printer.Running() && server.Running());
    test::FakeSpooler spooler;
    test::ScopedSpooler installed(spooler);
    test::ScratchDir dir;
    const std::string address = server.ComPortAddress(), trace = dir / "trace.txt";
    const auto run =
        test::RunTalq({"check", "--model", "0", "--port", address, "--trace", trace});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto ports = TraceOperations(test::ReadText(trace));
    ASSERT_EQ(ports.count(address), 1u) << test::ReadText(trace);
    EXPECT_EQ(ports.at(address), VirtualTranscript("check"));
    EXPECT_NE(test::ReadText(trace).find("without the Telnet framing"), std::string::npos);
}

TEST(Trace, AFileThatCannotBeMadeStopsTheRunBeforeAnythingIsSent) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(0));
    test::ScratchDir dir;
    const std::string trace = dir / "no-such-folder/trace.txt";
    const auto run = test::RunTalq({"check", "--model", "0", "--port", "COM1", "--trace", trace});
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_EQ(run.err, "talq: --trace " + trace + ": cannot be created: No such file or directory\n");
    EXPECT_TRUE(os.Transcript().empty());
}

}  // namespace
}  // namespace talq::cli
