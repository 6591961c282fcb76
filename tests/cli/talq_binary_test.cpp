// The built talq against talq-printer-sim over a pseudo-terminal, as a script would run them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>

#include "child_process.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

constexpr int kDeadlineMs = 60000;

TEST(TalqBinary, GetSetVerifyAndReadBackOverAPseudoTerminal) {
    test::ScratchDir dir;
    const std::string link = dir / "com1";
    test::ChildProcess sim(TALQ_PRINTER_SIM_PATH, {"--model", "KTV-520plus", "--link", link});
    ASSERT_TRUE(sim.Collect(5000, /*untilFirstLine=*/true)) << sim.err;
    ::setenv("TALQ_COM1", link.c_str(), 1);

    const auto talq = [&](const std::string& command, std::vector<std::string> more) {
        std::vector<std::string> args{command, "--model", "KTV-520plus", "--port", "COM1"};
        args.insert(args.end(), more.begin(), more.end());
        auto child = std::make_unique<test::ChildProcess>(TALQ_PATH, args);
        const int code = test::RunToEnd(*child, kDeadlineMs);
        EXPECT_EQ(code, 0) << child->err;
        return child;
    };
    const std::string saved = dir / "x.sts";
    EXPECT_NE(talq("get", {"-o", saved})->out.find("Memory switch 11"), std::string::npos);
    const auto set = talq("set", {saved, "--pin", "2.3=1", "--verify"});
    EXPECT_EQ(set->out,
              "COM1:\ndefault code page: 0 PC437 (USA: Standard Europe) -> 32 User Codepage(Page "
              "43)  [switch 2 pin 3: 0 -> 1]\n");
    EXPECT_NE(talq("get", {"--json"})->out.find(R"("2": [0, 0, 1, 1, 0, 0, 0, 0, 0])"),
              std::string::npos);

    // Ctrl-C while two ports at once read their printers: both end cleanly before anything is
    // set, and the third port, waiting for a free job, is not run.
    std::vector<std::unique_ptr<test::ChildProcess>> others;
    for (const std::string name : {"COM2", "COM3"}) {
        const std::string path = dir / name;
        others.push_back(std::make_unique<test::ChildProcess>(
            TALQ_PRINTER_SIM_PATH, std::vector<std::string>{"--model", "0", "--link", path}));
        ASSERT_TRUE(others.back()->Collect(5000, /*untilFirstLine=*/true)) << others.back()->err;
        ::setenv(("TALQ_" + name).c_str(), path.c_str(), 1);
    }
    test::ChildProcess interrupted(
        TALQ_PATH, {"set", "--model", "0", "--port", "COM1", "--port", "COM2", "--port", "COM3",
                    "--jobs", "2", "--pin", "2.4=1"});
    ASSERT_FALSE(interrupted.Collect(3000));  // still reading the printers
    interrupted.Signal(SIGINT);
    EXPECT_EQ(test::RunToEnd(interrupted, kDeadlineMs), 130);
    EXPECT_NE(interrupted.err.find("COM1: talq: interrupted: nothing was set"), std::string::npos)
        << interrupted.err;
    EXPECT_EQ(interrupted.out,
              "COM1: would change, but nothing was set (interrupted):\n"
              "default code page: 32 User Codepage(Page 43) -> 33 User Codepage(Page 44)  "
              "[switch 2 pin 4: 0 -> 1]\n"
              "COM2: would change, but nothing was set (interrupted):\n"
              "default code page: 0 PC437 (USA: Standard Europe) -> 1 Katakana  "
              "[switch 2 pin 4: 0 -> 1]\n"
              "COM1: interrupted: nothing was set (exit 130)\n"
              "COM2: interrupted: nothing was set (exit 130)\n"
              "COM3: not run: interrupted (exit 130)\n");
    EXPECT_NE(talq("get", {"--json"})->out.find(R"("2": [0, 0, 1, 1, 0, 0, 0, 0, 0])"),
              std::string::npos);

    // Its output closed from the start (`| head -c 0`): both ports still finish Set Status, and
    // the exit code says that the output was lost.
    test::ChildProcess closed(
        TALQ_PATH, {"set", "--model", "0", "--port", "COM1", "--port", "COM2", "--pin", "2.5=1"});
    closed.CloseOutput();
    EXPECT_EQ(test::RunToEnd(closed, kDeadlineMs), 7) << closed.err;
    EXPECT_NE(closed.err.find("talq: standard output: the output was lost"), std::string::npos)
        << closed.err;
    EXPECT_NE(talq("get", {"--json"})->out.find(R"("2": [0, 0, 1, 1, 0, 1, 0, 0, 0])"),
              std::string::npos);
    ::setenv("TALQ_COM1", (dir / "COM2").c_str(), 1);
    EXPECT_NE(talq("get", {"--json"})->out.find(R"("2": [0, 0, 1, 0, 0, 1, 0, 0, 0])"),
              std::string::npos);

    ::unsetenv("TALQ_COM2");
    ::unsetenv("TALQ_COM3");
    ::unsetenv("TALQ_COM1");
}

// talq find over ten ports at once, in real time: one printer, at a setting find tries late,
// behind one; two that stay silent; seven with nothing behind them.
TEST(TalqBinary, FindSearchesTenPortsAtOnceAndGivesUpOnSilenceWithinItsBound) {
    test::ScratchDir dir;
    std::vector<std::unique_ptr<test::ChildProcess>> sims;
    std::vector<std::string> args{"find", "--data-bits", "8", "--parity", "Odd"};
    for (int n = 1; n <= 10; ++n) {
        const std::string name = "COM" + std::to_string(n), link = dir / name;
        std::vector<std::string> sim;
        if (n == 4) sim = {"--model", "KTV-540/542", "--baud", "57600", "--parity", "Odd"};
        if (n == 2 || n == 7) sim = {"--model", "0", "--fault", "silent"};
        if (!sim.empty()) {
            sim.insert(sim.end(), {"--link", link});
            sims.push_back(std::make_unique<test::ChildProcess>(TALQ_PRINTER_SIM_PATH, sim));
            ASSERT_TRUE(sims.back()->Collect(5000, /*untilFirstLine=*/true)) << sims.back()->err;
        }
        ::setenv(("TALQ_" + name).c_str(), link.c_str(), 1);  // absent unless a sim made it
        args.insert(args.end(), {"--port", name});
    }
    const auto started = std::chrono::steady_clock::now();
    test::ChildProcess find(TALQ_PATH, args);
    EXPECT_EQ(test::RunToEnd(find, kDeadlineMs), 0) << find.err;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
    const std::string absent = ": " + (dir / "COM1") + " cannot be opened";
    EXPECT_EQ(find.out.substr(0, find.out.find('\n') + 1),
              "COM1" + absent + ": No such file or directory (exit 3)\n");
    EXPECT_NE(find.out.find("COM2: nothing answered (7 line settings tried; --thorough waits "
                            "longer for a printer slow to answer) (exit 4)\n"),
              std::string::npos)
        << find.out;
    EXPECT_NE(find.out.find("COM4: found KTV-540/542 (\"KTV-540/542\", firmware \"Ver 1.05\") at "
                            "57600 8 Odd 1 Hardware; reach it with --baud 57600 --data-bits 8 "
                            "--parity Odd --stop-bits 1 --flow Hardware (exit 0)\n"),
              std::string::npos)
        << find.out;
    // Every port at once: the run lasts as long as a silent port's seven settings, not ten
    // ports' worth.
    EXPECT_LT(seconds.count(), 7 * 0.37 + 5);
    for (int n = 1; n <= 10; ++n) ::unsetenv(("TALQ_COM" + std::to_string(n)).c_str());
}

// Ten runs of `talq map` at once, one port each: every mapping ends in the file.
TEST(TalqBinary, MapRunsAtOnceLoseNoMapping) {
    test::ScratchDir dir;
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    std::vector<std::unique_ptr<test::ChildProcess>> runs;
    for (int n = 1; n <= 10; ++n) {
        runs.push_back(std::make_unique<test::ChildProcess>(
            TALQ_PATH, std::vector<std::string>{"map", "COM" + std::to_string(n),
                                                "/dev/absent" + std::to_string(n)}));
    }
    for (auto& run : runs) EXPECT_EQ(test::RunToEnd(*run, kDeadlineMs), 0) << run->err;
    const std::string text = test::ReadText(dir / "config/talquist-manager/ports.conf");
    for (int n = 1; n <= 10; ++n) {
        const std::string line = "COM" + std::to_string(n) + "=/dev/absent" + std::to_string(n);
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << line << " lost:\n" << text;
    }
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace talq::cli
