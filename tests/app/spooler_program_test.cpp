// The real program with queues switched: a signal or the session's end gives them back as
// closing the dialog does; after a SIGKILL the next start gives them back from the
// journal, and a start beside a live run leaves that run's queues alone. And the wire
// trace that TALQ_TRACE asks of it.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <utility>

#include "setup/spooler_journal.h"
#include "support/private_cupsd.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

extern char** environ;

namespace talq {
namespace {

constexpr int kLineTimeoutMs = 30000;

// The driven program with its standard output on a pipe.
class Manager {
  public:
    // `check`: nullptr (no check), "answer" or "hold" (see the driver); `session`: the
    // session's words come on standard input (Tell).
    explicit Manager(const char* check, bool session = false) {
        int out[2];
        int in[2];
        if (pipe(out) != 0) return;
        if (pipe(in) != 0) {
            close(out[0]);
            close(out[1]);
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        check != nullptr ? setenv("TALQ_DRIVE_CHECK", check, 1) : unsetenv("TALQ_DRIVE_CHECK");
        if (session) setenv("TALQ_DRIVE_SESSION", "1", 1);
        char* argv[] = {const_cast<char*>(TALQ_MANAGER_DRIVER_PATH), nullptr};
        if (posix_spawn(&pid_, TALQ_MANAGER_DRIVER_PATH, &actions, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        unsetenv("TALQ_DRIVE_CHECK");
        unsetenv("TALQ_DRIVE_SESSION");
        close(out[1]);
        close(in[0]);
        out_ = out[0];
        in_ = in[1];
    }
    ~Manager() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
        if (in_ >= 0) close(in_);
    }

    // Writes `line` to the program's standard input.
    bool Tell(const std::string& line) {
        const std::string text = line + "\n";
        return write(in_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    // Waits for the line `said` on the program's output.
    bool Says(const std::string& said) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kLineTimeoutMs);
        for (;;) {
            if (const auto end = seen_.find('\n'); end != std::string::npos) {
                const std::string line = seen_.substr(0, end);
                seen_.erase(0, end + 1);
                if (line == said) return true;
                continue;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd readable{out_, POLLIN, 0};
            if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) != 1)
                return false;
            char buffer[256];
            const ssize_t n = read(out_, buffer, sizeof buffer);
            if (n <= 0) return false;
            seen_.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // Sends `signal` (none for 0) and waits (bounded) for the end; the wait status, or -1.
    int Stop(int signal) {
        if (signal != 0) kill(pid_, signal);
        for (int poll = 0; poll < 300; ++poll) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int in_ = -1;
    std::string seen_;
};

class ManagerWithQueues : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(cupsd.Running());
        setenv("XDG_STATE_HOME", state.path().c_str(), 1);
        setenv("TALQ_COM1", com1.SlavePath().c_str(), 1);
        ASSERT_TRUE(cupsd.AddQueue("till", uri));
    }
    void TearDown() override {
        unsetenv("XDG_STATE_HOME");
        unsetenv("TALQ_COM1");
    }

    bool Switched() const {
        return cupsd.DeviceUri("till") == "file:/dev/null" && cupsd.Paused("till");
    }
    bool GivenBack() const { return cupsd.DeviceUri("till") == uri && !cupsd.Paused("till"); }
    std::size_t Journals() const {
        return setup::SpoolerJournal::FilesIn(state.path() / "talquist-manager").size();
    }

    test::PrivateCupsd cupsd;
    test::TempDir state{"talq-state"};
    test::PtyPair com1;
    const std::string uri = "serial:" + com1.SlavePath() + "?baud=19200";
};

// After the check, and while its message box runs a nested modal loop.
TEST_F(ManagerWithQueues, SigtermGivesTheQueuesBackAsClosingDoes) {
    for (const auto& [mode, said] :
         {std::pair{"answer", "checked"}, std::pair{"hold", "message"}}) {
        Manager manager(mode);
        ASSERT_TRUE(manager.Says(said)) << mode;
        EXPECT_TRUE(Switched()) << mode;
        EXPECT_EQ(Journals(), 1u) << mode;

        const int status = manager.Stop(SIGTERM);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << mode << " " << status;
        EXPECT_TRUE(GivenBack()) << mode;
        EXPECT_EQ(Journals(), 0u) << mode;
    }
}

// Asked to save before log-off, the program keeps the port and its queues aside: another
// program may still cancel the log-off. The session's end gives them back, and the program
// ends as when its dialog is closed.
TEST_F(ManagerWithQueues, TheSessionsQuestionKeepsTheQueuesAsideAndItsEndGivesThemBack) {
    Manager manager("answer", true);
    ASSERT_TRUE(manager.Says("checked"));
    ASSERT_TRUE(manager.Tell("ask"));
    ASSERT_TRUE(manager.Says("asked"));
    EXPECT_TRUE(Switched());
    EXPECT_EQ(Journals(), 1u);

    ASSERT_TRUE(manager.Tell("end"));
    const int status = manager.Stop(0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(GivenBack());
    EXPECT_EQ(Journals(), 0u);
}

TEST_F(ManagerWithQueues, AKilledRunIsGivenBackByTheNextStartButNotByOneBesideIt) {
    auto first = std::make_unique<Manager>("answer");
    ASSERT_TRUE(first->Says("checked"));
    {
        Manager beside(nullptr);
        ASSERT_TRUE(beside.Says("shown"));
        EXPECT_TRUE(Switched());
        EXPECT_EQ(Journals(), 1u);
        beside.Stop(SIGTERM);
    }
    EXPECT_TRUE(Switched());

    first->Stop(SIGKILL);
    first.reset();
    EXPECT_TRUE(Switched());
    EXPECT_EQ(Journals(), 1u);

    Manager next(nullptr);
    ASSERT_TRUE(next.Says("shown"));
    EXPECT_TRUE(GivenBack());
    EXPECT_EQ(Journals(), 0u);
    next.Stop(SIGTERM);
}

TEST_F(ManagerWithQueues, TheCommandLineGivesBackAKilledRunsQueuesToo) {
    {
        Manager killed("answer");
        ASSERT_TRUE(killed.Says("checked"));
        killed.Stop(SIGKILL);
    }
    ASSERT_TRUE(Switched());
    cupsd.Client(std::string(TALQ_PATH) + " ports");
    EXPECT_TRUE(GivenBack());
    EXPECT_EQ(Journals(), 0u);
}

TEST_F(ManagerWithQueues, TalqTraceHoldsTheCheckOfTheDialog) {
    const std::string trace = (state.path() / "trace.txt").string();
    setenv("TALQ_TRACE", trace.c_str(), 1);
    Manager manager("answer");
    unsetenv("TALQ_TRACE");
    ASSERT_TRUE(manager.Says("checked"));
    manager.Stop(SIGTERM);
    std::stringstream text;
    text << std::ifstream(trace).rdbuf();
    const std::string port = " " + com1.SlavePath() + " ";
    for (const std::string& line : {"open " + com1.SlavePath(), std::string("settings 19200 8 0 0 0"),
                                    std::string("write 1B 40  |.@|"), std::string("close")}) {
        EXPECT_NE(text.str().find(port + line), std::string::npos) << line << "\n" << text.str();
    }
}

}  // namespace
}  // namespace talq
