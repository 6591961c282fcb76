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
#include <filesystem>
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
        int err[2];
        if (::pipe(out) != 0) return false;
        if (::pipe(err) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<char*> argv{const_cast<char*>(TALQ_PRINTER_SIM_PATH)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int rc = ::posix_spawn(&pid_, TALQ_PRINTER_SIM_PATH, &actions, nullptr, argv.data(),
                                     environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        stdout_ = out[0];
        stderr_ = err[0];
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
        if (pid_ > 0) ::kill(pid_, SIGTERM);
        return Wait(timeoutMs);
    }

    // The exit status of a tool that ends by itself, or -1 when it would not end.
    int Wait(int timeoutMs) {
        if (pid_ <= 0) return -1;
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

    // What the tool wrote to its error output, once it has ended.
    std::string ErrorOutput() {
        std::string text;
        if (pid_ > 0) return text;  // still running: reading could block
        char buffer[512];
        for (ssize_t n; (n = ::read(stderr_, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
        return text;
    }

    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) ::close(stdout_);
        if (stderr_ >= 0) ::close(stderr_);
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int stderr_ = -1;
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
    ASSERT_TRUE(os.ApplyLineSettings(h, {115200, 8, 0, 0, 0}));  // the model's own
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

TEST(PrinterSimTool, ReplacesOnlyAPseudoTerminalLinkAndRemovesOnlyItsOwn) {
    char dir[] = "/tmp/talq-sim-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string folder = dir;
    const auto linkTo = [&](const std::string& target, const std::string& name) {
        EXPECT_EQ(::symlink(target.c_str(), (folder + "/" + name).c_str()), 0);
        return folder + "/" + name;
    };
    const auto target = [](const std::string& link) {
        char buffer[256] = {};
        return ::readlink(link.c_str(), buffer, sizeof buffer - 1) > 0 ? std::string(buffer) : "";
    };

    // Someone's file, or a link to it, is refused by name and left alone.
    const std::string file = folder + "/notes.txt";
    ::close(::open(file.c_str(), O_CREAT | O_WRONLY, 0644));
    const std::string foreign = linkTo(file, "foreign");
    for (const std::string& path : {file, foreign}) {
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--model", "0", "--link", path}));
        EXPECT_EQ(sim.Wait(5000), 1);
        EXPECT_NE(sim.ErrorOutput().find("--link " + path + ": "), std::string::npos) << path;
    }
    struct stat st {};
    EXPECT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(target(foreign), file);

    // A stale terminal link is taken over; at exit the link goes only while it is still ours.
    const std::string stale = linkTo("/dev/pts/9999", "printer");
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--model", "0", "--link", stale}));
    const std::string terminal = sim.ReadLine(5000);
    ASSERT_EQ(target(stale), terminal);
    ASSERT_EQ(::unlink(stale.c_str()), 0);
    linkTo("/dev/pts/9998", "printer");  // another simulator took the name meanwhile
    EXPECT_EQ(sim.Stop(5000), 0);
    EXPECT_EQ(target(stale), "/dev/pts/9998");

    std::filesystem::remove_all(folder);
}

TEST(PrinterSimTool, BadArgumentsAreNamed) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--model", "KTV-999"}, "--model: unknown model 'KTV-999'"},
        {{"--model", "0", "--delay", "soon"}, "--delay: 'soon' is not a number"},
        {{"--model", "0", "--fault", "loud"}, "--fault: unknown fault 'loud'"},
        {{"--model", "0", "--speed", "9"}, "unknown argument '--speed'"},
        {{"--model", "0", "--link"}, "--link needs a value"},
        {{"--delay", "5"}, "--model is required"},
        {{"--model", "0", "--link", "/no/such/folder/printer"},
         "--link /no/such/folder/printer: No such file or directory"},
    };
    for (const auto& [args, message] : cases) {
        SimProcess sim;
        ASSERT_TRUE(sim.Start(args));
        EXPECT_NE(sim.Wait(5000), 0) << message;
        EXPECT_NE(sim.ErrorOutput().find(message), std::string::npos) << message;
    }
}

}  // namespace
