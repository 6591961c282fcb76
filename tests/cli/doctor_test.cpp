// talq doctor on pseudo-terminals: a port another process holds, a node nobody may open, and the
// printer check with its bundle.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "support/fake_spooler.h"
#include "support/pty_pair.h"
#include "support/scoped_env.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

using Json = nlohmann::json;

// A child process that holds `path` open under the lock talq takes, until the object ends.
class Holder {
  public:
    Holder(const std::string& path, int inheritedMaster) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(release_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(inheritedMaster);  // the line's other end stays with the test
            ::close(ready[0]);
            ::close(release_[1]);  // the end only the test may close
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
            const char held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
            [[maybe_unused]] auto told = ::write(ready[1], &held, 1);
            char end;
            [[maybe_unused]] auto waited = ::read(release_[0], &end, 1);
            ::_exit(0);
        }
        char held = 0;
        ::close(ready[1]);
        ::close(release_[0]);
        held_ = ::read(ready[0], &held, 1) == 1 && held == 1;
        ::close(ready[0]);
    }
    ~Holder() {
        ::close(release_[1]);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    bool Held() const { return held_; }
    pid_t Pid() const { return pid_; }

  private:
    int release_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool held_ = false;
};

// talq run as a user without rights when this process is root, who passes every permission.
test::TalqResult RunWithoutRoot(const std::vector<std::string>& args) {
    if (::geteuid() != 0) return test::RunTalq(args);
    int out[2];
    if (::pipe(out) != 0) return {-1, "", ""};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        const bool dropped =
            ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        const auto run = dropped ? test::RunTalq(args) : test::TalqResult{-1, "", "not dropped"};
        const std::string text = std::to_string(run.exitCode) + "\n" + run.out;
        [[maybe_unused]] auto written = ::write(out[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    const auto end = text.find('\n');
    if (end == std::string::npos) return {-1, "", text};
    return {std::stoi(text.substr(0, end)), text.substr(end + 1), ""};
}

const Json& Section(const Json& report, const std::string& port) {
    for (const Json& section : report["sections"]) {
        if (section["port"] == port) return section;
    }
    static const Json none;
    ADD_FAILURE() << "no section for " << port;
    return none;
}

// The port's findings as "check verdict: text | mend".
std::vector<std::string> Findings(const Json& section) {
    std::vector<std::string> lines;
    for (const Json& f : section["findings"]) {
        std::string line = f["check"].get<std::string>() + " " + f["verdict"].get<std::string>() +
                           ": " + f["text"].get<std::string>();
        if (!f["mend"].is_null()) line += " | " + f["mend"].get<std::string>();
        lines.push_back(line);
    }
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(Doctor, APortAnotherProcessHoldsAndANodeNobodyMayOpenAreToldWithTheirMends) {
    test::FakeSpooler spooler;
    test::ScopedSpooler installed(spooler);
    test::PtyPair held;
    const Holder holder(held.SlavePath(), held.MasterFd());
    ASSERT_TRUE(holder.Held());
    test::PtyPair closed;
    ASSERT_EQ(::chmod(closed.SlavePath().c_str(), 0), 0);
    test::ScopedEnv env;
    env.Set("TALQ_COM7", held.SlavePath());
    env.Set("TALQ_COM8", closed.SlavePath());
    const std::string heldBy = "held problem: held by talq_cli_tests (process " +
                               std::to_string(holder.Pid()) + ") | close talq_cli_tests (process " +
                               std::to_string(holder.Pid()) + "), or end it: kill " +
                               std::to_string(holder.Pid());

    // Found among the open files of every process when they may be looked into.
    const auto asIs = test::RunTalq({"doctor", "--port", "COM7", "--json"});
    EXPECT_EQ(asIs.exitCode, 1) << asIs.err;
    const auto com7 = Findings(Section(Json::parse(asIs.out), "COM7"));
    EXPECT_TRUE(Has(com7, heldBy)) << asIs.out;
    EXPECT_TRUE(Has(com7, "printer skipped: not tried: what is wrong above comes first"));

    // A user who may look into no other process still learns the holder from its lock, and
    // that mode 000 lets nobody in, whatever group one joins.
    const auto run = RunWithoutRoot({"doctor", "--port", "COM7", "--port", "COM8", "--json"});
    ASSERT_EQ(run.exitCode, 1) << run.err << run.out;
    const Json report = Json::parse(run.out);
    EXPECT_TRUE(Has(Findings(Section(report, "COM7")), heldBy)) << run.out;
    const auto com8 = Findings(Section(report, "COM8"));
    const std::string user = report["user"];
    EXPECT_TRUE(Has(com8, "access problem: " + user +
                              " may not open it: Permission denied | mode c--------- lets no "
                              "group open it: sudo chmod 660 " +
                              closed.SlavePath() +
                              " (a udev rule that sets the mode makes it last from plug to plug)"))
        << run.out;
    EXPECT_TRUE(Has(com8, "printer skipped: not tried: what is wrong above comes first"));
    EXPECT_EQ(report["exitCode"], 1);

    // Looking sent nothing on either line.
    EXPECT_TRUE(held.Read(1, 0).empty());
    EXPECT_TRUE(closed.Read(1, 0).empty());
}

TEST(Doctor, ThePrinterCheckFindsOnePrinterAndNothingOnASilentLineAndBundlesItsTrace) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    // The nodes are real, the lines behind them virtual.
    test::PtyPair com1, com2;
    test::ScopedEnv env;
    env.Set("TALQ_COM1", com1.SlavePath());
    env.Set("TALQ_COM2", com2.SlavePath());
    os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(1));
    os.AddDevice("COM2", std::make_shared<test::ScriptedDevice>());
    test::ScratchDir dir;
    const std::string bundle = dir / "ticket.txt";

    const auto run = test::RunTalq(
        {"doctor", "--port", "COM1", "--port", "COM2", "--bundle", bundle, "--json"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const Json report = Json::parse(run.out);
    EXPECT_EQ(Section(report, "COM1")["printer"],
              Json::parse(R"({"model": "KTV-540/542", "modelName": "KTV-540/542",
                              "firmwareVersion": "Ver 1.05", "line": {"baud": "115200",
                              "dataBits": "8", "parity": "None", "stopBits": "1",
                              "flow": "Hardware"}})"));
    EXPECT_TRUE(Has(Findings(Section(report, "COM2")),
                    "printer problem: nothing answered (42 line settings tried) | switch the "
                    "printer on and check its cable"));

    const std::string text = test::ReadText(bundle);
    const auto report_at = text.find("== report ==\n"),
               trace_at = text.find("== trace of the printer check ==\n");
    ASSERT_NE(report_at, std::string::npos) << text;
    ASSERT_NE(trace_at, std::string::npos) << text;
    EXPECT_NE(text.find("  ok       printer       a KTV-540/542 answers (\"KTV-540/542\", firmware "
                        "\"Ver 1.05\"): talq get --model KTV-540/542 --port COM1 --baud 115200",
                        report_at),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" COM1 write 1D 49 01  |.I.|", trace_at), std::string::npos) << text;
    EXPECT_NE(text.find(" COM2 read 1 -> 0  (timed out", trace_at), std::string::npos) << text;
}

}  // namespace
}  // namespace talq::cli
