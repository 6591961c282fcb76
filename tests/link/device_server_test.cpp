// Printers behind a serial device server: talq against Debian's ser2net on loopback, in front
// of the simulated printer's pseudo-terminal, with the line settings checked where the printer
// is. Each case starts a server of its own, since ser2net lets go of a device only some time
// after its client has.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/talq_run.h"
#include "support/fake_spooler.h"
#include "support/line_printer.h"
#include "support/scoped_env.h"
#include "support/ser2net_server.h"

namespace talq::link {
namespace {

using Clock = std::chrono::steady_clock;
using test::LineSeen;
using test::RunTalq;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Served {
    Served(int model, const std::string& line) : printer(model), server(printer.Path(), line) {}
    test::LinePrinter printer;
    test::Ser2netServer server;
};

class DeviceServer : public ::testing::Test {
  protected:
    // COM5 as a user maps it, in the user's ports file.
    void MapCom5(const std::string& address) {
        const auto file = dir_.path() / "talquist-manager" / "ports.conf";
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << "COM5 = " << address << "  # the till's printer\n";
    }

    test::TempDir dir_{"talq-config"};
    test::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};
};

TEST_F(DeviceServer, GetStatusOverRawTcpAndComPortControlLeavingPrintQueuesAlone) {
    for (const bool comPort : {false, true}) {
        SCOPED_TRACE(comPort ? "rfc2217" : "tcp");
        Served served(0, "19200n81");
        ASSERT_TRUE(served.printer.Running() && served.server.Running());
        const std::string address =
            comPort ? served.server.ComPortAddress() : served.server.RawAddress();
        MapCom5(address);
        test::FakeSpooler spooler;
        spooler.queues = {{"till", address}, {"kitchen", "serial:/dev/ttyS4"}};
        test::ScopedSpooler installed(spooler);

        const auto got = RunTalq({"get", "--model", "0", "--port", "COM5", "--baud", "9600",
                                  "--stop-bits", "2", "--flow", "Xon/Xoff"});
        ASSERT_EQ(got.exitCode, 0) << got.err;
        EXPECT_NE(got.out.find("Model name: KTV-520plus"), std::string::npos) << got.out;
        EXPECT_NE(got.err.find("Success to get status of printer."), std::string::npos);
        // Raw TCP keeps the server's line; the COM port control option sets talq's.
        const LineSeen expected =
            comPort ? LineSeen{9600, true, false, true} : LineSeen{19200, false, false, false};
        EXPECT_EQ(served.printer.LinesSeen(), std::vector<LineSeen>{expected});
        EXPECT_TRUE(spooler.calls.empty());
    }
}

TEST_F(DeviceServer, APrinterSerialChangeIsFollowedAtTheNewSettings) {
    Served served(1, "115200n81");
    ASSERT_TRUE(served.printer.Running() && served.server.Running());
    MapCom5(served.server.ComPortAddress());

    const auto set = RunTalq({"set", "--model", "1", "--port", "COM5", "--printer-baud", "9600"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.err.find("reach it next time with --baud 9600 --data-bits 8 --parity None "
                           "--flow Hardware"),
              std::string::npos)
        << set.err;
    EXPECT_EQ(served.printer.LinesSeen(), (std::vector<LineSeen>{{115200, false, true, false}}));

    served.printer.ForgetLines();
    const auto checked = RunTalq({"check", "--model", "1", "--port", "COM5", "--baud", "9600"});
    ASSERT_EQ(checked.exitCode, 0) << checked.err;
    EXPECT_EQ(served.printer.LinesSeen(), (std::vector<LineSeen>{{9600, false, true, false}}));
}

TEST_F(DeviceServer, WhatTheServerRefusesOrNeverAnswersFailsTheOpenWithinItsBound) {
    const struct {
        const char* what;
        std::string (*address)(const test::Ser2netServer&);
        std::vector<std::string> more;
        const char* reason;
        bool reachesPrinter;  // the option's request lands on the line as data
    } cases[] = {
        {"a raw port never answers the option",
         [](const test::Ser2netServer& s) { return "rfc2217" + s.RawAddress().substr(3); },
         {},
         "did not answer the COM port control option (RFC 2217) within 1 s",
         true},
        {"plain telnet refuses it",
         [](const test::Ser2netServer& s) { return s.PlainTelnetAddress(); },
         {},
         "refuses the COM port control option",
         false},
        {"a setting the server never acknowledges",
         [](const test::Ser2netServer& s) { return s.ComPortAddress(); },
         {"--stop-bits", "1.5"},
         "did not acknowledge stop bits 1.5 within 1 s",
         false},
        {"no server there", nullptr, {}, "Connection refused", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Served served(0, "19200n81");
        ASSERT_TRUE(served.server.Running());
        std::string address = c.address ? c.address(served.server) : served.server.ComPortAddress();
        if (!c.address) served.server.Kill();

        std::vector<std::string> args{"check", "--model", "0", "--port", address};
        args.insert(args.end(), c.more.begin(), c.more.end());
        const auto start = Clock::now();
        const auto checked = RunTalq(args);
        EXPECT_LT(SecondsSince(start), 1.5);
        EXPECT_EQ(checked.exitCode, 3);
        EXPECT_NE(checked.err.find("Can't open port and Printer is disconnected"),
                  std::string::npos);
        EXPECT_NE(checked.err.find(address + " cannot be opened: "), std::string::npos);
        EXPECT_NE(checked.err.find(c.reason), std::string::npos) << checked.err;
        // Refused before any command: nothing was sent that a half-set line could garble.
        if (!c.reachesPrinter) {
            EXPECT_EQ(served.printer.BytesReceived(), 0u);
        }
    }
}

TEST_F(DeviceServer, AServerThatGoesAwayMidExchangeIsAPrinterUnplugged) {
    Served served(0, "19200n81");
    ASSERT_TRUE(served.printer.Running() && served.server.Running());
    MapCom5(served.server.ComPortAddress());

    test::TalqResult got{};
    std::thread run([&] { got = RunTalq({"get", "--model", "0", "--port", "COM5"}); });
    // Check Communication sends 14 bytes; a few more and Get Status is under way.
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while (served.printer.BytesReceived() < 20 && Clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    served.server.Kill();
    const auto gone = Clock::now();
    run.join();

    // Every read and write now ends at once, so the exchange ends within its own pauses.
    EXPECT_LT(SecondsSince(gone), 5.0);
    EXPECT_TRUE(got.exitCode == 4 || got.exitCode == 5) << got.exitCode << got.err;
    EXPECT_EQ(got.err.find("Success to get status of printer."), std::string::npos);
    EXPECT_NE(got.err.find("COM5: Get Status"), std::string::npos) << got.err;
}

}  // namespace
}  // namespace talq::link
