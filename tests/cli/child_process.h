// A program run as a child process with its output captured; killed when it outlives its
// deadline, so a hung run fails the test instead of blocking it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace talq::test {

class ChildProcess {
  public:
    ChildProcess(const std::string& path, const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(path.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~ChildProcess() {
        Stop();
        if (out_ >= 0) ::close(out_);
        if (err_ >= 0) ::close(err_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Collects output until `stdoutLine` has a full line (when asked) or both streams end, or
    // the deadline passes. False on the deadline.
    bool Collect(int deadlineMs, bool untilFirstLine = false) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
        while (out_ >= 0 || err_ >= 0) {
            if (untilFirstLine && out.find('\n') != std::string::npos) return true;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
            if (::poll(fds, 2, static_cast<int>(left.count())) < 0) return false;
            Drain(fds[0], out_, out);
            Drain(fds[1], err_, err);
        }
        return true;
    }

    // Waits for the exit status once output has ended; -1 when it did not end normally.
    int Wait() {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Closes the reading end of the child's standard output, as `| head` does once it has enough.
    void CloseOutput() {
        if (out_ >= 0) ::close(out_);
        out_ = -1;
    }

    void Signal(int signal) {
        if (pid_ > 0) ::kill(pid_, signal);
    }

    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    std::string out, err;

  private:
    static void Drain(const pollfd& polled, int& fd, std::string& into) {
        if (fd < 0 || polled.revents == 0) return;
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
        } else {
            ::close(fd);
            fd = -1;
        }
    }

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
};

// Runs `path` to its end; the exit code, or -1 when it hung past the deadline.
inline int RunToEnd(ChildProcess& child, int deadlineMs) {
    if (!child.Collect(deadlineMs)) return -1;
    return child.Wait();
}

}  // namespace talq::test
