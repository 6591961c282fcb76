// talq-printer-sim end to end on a real pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// The running tool; killed and reaped whatever happens to the test.
class SimProcess {
public:
    bool Start(const std::vector<std::string>& args) {
        int out[2];
        if (::pipe(out) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> argv{const_cast<char*>(TALQ_PRINTER_SIM_PATH)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int rc = ::posix_spawn(&pid_, TALQ_PRINTER_SIM_PATH, &actions, nullptr, argv.data(),
                                     environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        stdout_ = out[0];
        if (rc != 0) pid_ = -1;
        return rc == 0;
    }

    // The first line the tool prints, waiting at most timeoutMs.
    std::string ReadLine(int timeoutMs) {
        std::string line;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            pollfd pfd{stdout_, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - Clock::now());
            if (::poll(&pfd, 1, static_cast<int>(left.count()) + 1) <= 0) break;
            char c;
            if (::read(stdout_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return {};
    }

    // Stops the tool with SIGTERM; its exit status, or -1 when it would not end.
    int Stop(int timeoutMs) {
        if (pid_ <= 0) return -1;
        ::kill(pid_, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) ::close(stdout_);
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

TEST(PrinterSimTool, AnswersOnAPseudoTerminalUntilStopped) {
    char dir[] = "/tmp/talq-sim-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/printer";

    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--model", "KTV-540/542", "--link", link, "--delay", "100"}));
    const std::string path = sim.ReadLine(5000);
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << "printed: " << path;

    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    // Through the real backend, as the program reaches a printer.
    auto& os = talq::platform::Current();
    const auto h = os.OpenDevice(link);
    ASSERT_NE(h, talq::platform::kNoDevice);
    ASSERT_TRUE(os.ApplyLineSettings(h, {19200, 8, 0, 0, 0}));
    ASSERT_TRUE(os.SetTimeouts(h, {10, 10, 10, 0, 0}));

    const std::uint8_t query[] = {0x1D, 0x49, 0x01};
    ASSERT_EQ(os.Write(h, query, 1).count, 1);
    ASSERT_EQ(os.Write(h, query + 1, 2).count, 2);  // split, as a slow line may deliver it
    std::uint8_t byte = 0;
    EXPECT_EQ(os.Read(h, &byte, 1).count, 0) << "the reply delay is real time here";
    os.Pause(200);
    EXPECT_EQ(os.Read(h, &byte, 1).count, 1);
    EXPECT_EQ(byte, 0x2E);
    os.CloseDevice(h);

    EXPECT_EQ(sim.Stop(5000), 0);
    EXPECT_NE(::lstat(link.c_str(), &st), 0) << "the link goes with the tool";
    ::rmdir(dir);
}

}  // namespace
