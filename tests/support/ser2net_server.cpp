#include "support/ser2net_server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace talq::test {
namespace {

constexpr const char* kSer2net = "/usr/sbin/ser2net";

// Ports the system hands out now for loopback; held together so that the three differ.
bool FreePorts(int (&ports)[3]) {
    int sockets[3] = {-1, -1, -1};
    bool ok = true;
    for (int i = 0; i < 3 && ok; ++i) {
        sockets[i] = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ok = sockets[i] >= 0 &&
             ::bind(sockets[i], reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
             ::getsockname(sockets[i], reinterpret_cast<sockaddr*>(&address), &length) == 0;
        ports[i] = ntohs(address.sin_port);
    }
    for (int fd : sockets) {
        if (fd >= 0) ::close(fd);
    }
    return ok;
}

// The socket inode listening on 127.0.0.1:port, from /proc/net/tcp; 0 when none is.
unsigned long ListeningInode(int port) {
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, address, remote, state, queues, timer, retransmits, uid, timeout;
        unsigned long inode = 0;
        fields >> slot >> address >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        if (address == local && state == "0A") return inode;
    }
    return 0;
}

bool HoldsSocket(pid_t pid, unsigned long inode) {
    const std::string wanted = "socket:[" + std::to_string(inode) + "]";
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (std::filesystem::read_symlink(entry.path(), error).string() == wanted) return true;
    }
    return false;
}

}  // namespace

Ser2netServer::Ser2netServer(const std::string& device, const std::string& line) {
    // A port taken by someone else between our look and ser2net's bind: choose again.
    for (int attempt = 0; attempt < 3 && !Running(); ++attempt) {
        if (!Start(device, line)) Kill();
    }
}

bool Ser2netServer::Start(const std::string& device, const std::string& line) {
    if (dir_.path().empty() || !FreePorts(ports_)) return false;
    const std::string connector = "serialdev," + device + "," + line + ",local";
    const char* accepters[] = {"tcp", "telnet(rfc2217),tcp", "telnet,tcp"};
    const auto config = dir_.path() / "ser2net.yaml";
    {
        std::ofstream out(config);
        out << "%YAML 1.1\n---\n";
        for (int i = 0; i < 3; ++i) {
            out << "connection: &port" << i << "\n  accepter: " << accepters[i] << ",127.0.0.1,"
                << ports_[i] << "\n  connector: " << connector << "\n";
        }
    }
    const std::string log = (dir_.path() / "ser2net.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    // -n: stays in the foreground as our child; -u: no UUCP lock files in the system's folder.
    const std::string configText = config.string();
    const char* argv[] = {kSer2net, "-n", "-u", "-c", configText.c_str(), nullptr};
    const int spawned =
        ::posix_spawn(&pid_, kSer2net, &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return false;
    }
    // Listening on all three ports, each socket ser2net's own: only then is it the server.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        if (Listening()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool Ser2netServer::Listening() const {
    for (int port : ports_) {
        const unsigned long inode = ListeningInode(port);
        if (inode == 0 || !HoldsSocket(pid_, inode)) return false;
    }
    return true;
}

// SIGKILL: ser2net keeps nothing that needs saving, and it does not always heed SIGTERM.
void Ser2netServer::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace talq::test
