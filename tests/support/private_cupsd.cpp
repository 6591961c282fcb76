#include "support/private_cupsd.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace talq::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kPoll = 100ms;
constexpr int kStartPolls = 150;  // 15 s to answer
constexpr int kStopPolls = 100;   // 10 s to go after SIGTERM

bool WriteFile(const fs::path& path, const std::string& text, fs::perms mode) {
    std::ofstream(path) << text;
    std::error_code error;
    fs::permissions(path, mode, error);
    return !error && fs::file_size(path, error) == text.size();
}

// A stand-in for the serial and parallel backends Debian does not ship: no
// devices to list, and each job appended to the path in DEVICE_URI
// ("serial:/path?options"). Mode 0700 makes the scheduler run it as root.
constexpr const char* kStubBackend = R"(#!/bin/sh
[ $# -eq 0 ] && exit 0
device=${DEVICE_URI#*:}
device=${device%%\?*}
if [ -n "$6" ]; then cat "$6" >> "$device"; else cat >> "$device"; fi
)";

}  // namespace

PrivateCupsd::PrivateCupsd() {
    std::string pattern = (fs::temp_directory_path() / "talq-cupsd-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    if (!WriteConfiguration()) return;

    setenv("CUPS_SERVER", Socket().c_str(), 1);
    setenv("CUPS_STATEDIR", (folder_ / "state").c_str(), 1);
    const std::string log = (folder_ / "log" / "cupsd.out").string();
    const std::string conf = (folder_ / "cupsd.conf").string();
    const std::string files = (folder_ / "cups-files.conf").string();
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    pid_ = child;
    if (child < 0 || !WaitUntilAnswering()) Stop();
}

PrivateCupsd::~PrivateCupsd() {
    Stop();
    unsetenv("CUPS_SERVER");
    unsetenv("CUPS_STATEDIR");
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

bool PrivateCupsd::WriteConfiguration() {
    std::error_code error;
    for (const char* sub : {"root", "bin/backend", "spool", "cache", "state", "tmp", "log"}) {
        fs::create_directories(folder_ / sub, error);
    }
    // The scheduler's helper that starts backends, from the system's own ServerBin.
    fs::create_directory_symlink("/usr/lib/cups/daemon", folder_ / "bin" / "daemon", error);
    if (error) return false;
    constexpr auto kOpen = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(folder_, kOpen, error);
    const std::string f = folder_.string();
    const std::string conf = "Listen " + Socket() +
                             "\n"
                             "Browsing No\nWebInterface No\nDirtyCleanInterval 0\nLogLevel debug\n"
                             "<Location />\n  Order allow,deny\n  Allow from all\n</Location>\n";
    const std::string files = "ServerRoot " + f + "/root\nServerBin " + f + "/bin\nRequestRoot " +
                              f + "/spool\nCacheDir " + f + "/cache\nStateDir " + f +
                              "/state\nTempDir " + f + "/tmp\nAccessLog " + f +
                              "/log/access_log\nErrorLog " + f + "/log/error_log\nPageLog " + f +
                              "/log/page_log\nPrintcap " + f + "/printcap\nFileDevice No\n";
    constexpr auto kOwnerOnly = fs::perms::owner_all;
    return WriteFile(folder_ / "cupsd.conf", conf,
                     fs::perms::owner_read | fs::perms::owner_write) &&
           WriteFile(folder_ / "cups-files.conf", files,
                     fs::perms::owner_read | fs::perms::owner_write) &&
           WriteFile(folder_ / "bin/backend/serial", kStubBackend, kOwnerOnly) &&
           WriteFile(folder_ / "bin/backend/parallel", kStubBackend, kOwnerOnly);
}

// lpstat -r exits 0 with or without a scheduler: its words tell.
bool PrivateCupsd::WaitUntilAnswering() {
    for (int poll = 0; poll < kStartPolls; ++poll) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;  // it gave up (see log/cupsd.out and log/error_log)
            return false;
        }
        if (Client("lpstat -r").find("scheduler is running") != std::string::npos) return true;
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

void PrivateCupsd::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int poll = 0; poll < kStopPolls; ++poll) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(kPoll);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string PrivateCupsd::Client(const std::string& commandLine) const {
    std::string output;
    FILE* pipe = popen(("timeout 20 " + commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return output;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
    pclose(pipe);
    return output;
}

bool PrivateCupsd::AddQueue(const std::string& name, const std::string& deviceUri) const {
    return Client("lpadmin -p " + name + " -v '" + deviceUri + "' -E").find("lpadmin:") ==
               std::string::npos &&
           Exists(name);
}

bool PrivateCupsd::DeleteQueue(const std::string& name) const {
    Client("lpadmin -x " + name);
    return !Exists(name);
}

void PrivateCupsd::DeleteAllQueues() const {
    std::istringstream names(Client("lpstat -e"));
    for (std::string name; std::getline(names, name);) {
        if (!name.empty() && name.find(' ') == std::string::npos) DeleteQueue(name);
    }
}

// "device for NAME: URI"; lpstat shows file: URIs as bare paths.
std::string PrivateCupsd::DeviceUri(const std::string& name) const {
    const std::string output = Client("lpstat -v " + name);
    const std::string head = "device for " + name + ": ";
    if (output.rfind(head, 0) != 0) return {};
    std::string uri = output.substr(head.size());
    while (!uri.empty() && (uri.back() == '\n' || uri.back() == ' ')) uri.pop_back();
    return uri.rfind('/', 0) == 0 ? "file:" + uri : uri;
}

bool PrivateCupsd::Paused(const std::string& name) const {
    return Client("lpstat -p " + name).find("printer " + name + " disabled") != std::string::npos;
}

bool PrivateCupsd::Exists(const std::string& name) const {
    return Client("lpstat -v " + name).rfind("device for " + name + ":", 0) == 0;
}

bool PrivateCupsd::Submit(const std::string& name, const std::string& text) const {
    const fs::path job = folder_ / "tmp" / ("job-" + name);
    std::ofstream(job) << text;
    return Client("lp -d " + name + " -o raw " + job.string()).find("request id is") !=
           std::string::npos;
}

int PrivateCupsd::PendingJobs(const std::string& name) const {
    std::istringstream lines(Client("lpstat -o " + name));
    int count = 0;
    for (std::string line; std::getline(lines, line);) count += line.rfind(name + "-", 0) == 0;
    return count;
}

}  // namespace talq::test
