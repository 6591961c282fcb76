#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <vector>

namespace talq::sim {
namespace {

int BaudOf(speed_t speed) {
    switch (speed) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        default:
            return 0;  // hung up (B0) or a rate no printer keeps
    }
}

speed_t SpeedOf(int baud) {
    for (speed_t speed : {B1200, B2400, B4800, B9600, B19200, B38400, B57600, B115200, B230400}) {
        if (BaudOf(speed) == baud) return speed;
    }
    return B19200;
}

}  // namespace

LineSettings ClientLineOnTerminal(const termios& attributes, const LineSettings& printer) {
    LineSettings line = printer;
    line.baud = BaudOf(cfgetospeed(&attributes));
    line.stopBits = (attributes.c_cflag & CSTOPB) != 0 ? 2 : 1;
    if ((attributes.c_cflag & PARODD) != 0) {
        line.parity = Parity::Odd;
    } else if (printer.parity == Parity::Odd) {
        line.parity = Parity::None;
    }
    line.flow = (attributes.c_iflag & IXON) != 0 && (attributes.c_cflag & CRTSCTS) == 0
                    ? Flow::XonXoff
                    : Flow::DtrDsr;
    return line;
}

PtyServer::~PtyServer() {
    if (closeWatch_ >= 0) ::close(closeWatch_);
    if (slaveKeepAlive_ >= 0) ::close(slaveKeepAlive_);
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::Open() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) return false;
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return false;
    const char* name = ::ptsname(master_);
    if (name == nullptr) return false;
    slavePath_ = name;
    // Holding the slave open keeps the master from seeing a hang-up (and poll
    // from spinning on it) while no client is connected.
    slaveKeepAlive_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slaveKeepAlive_ < 0) return false;
    // A printer's line carries bytes, not a terminal's lines and echoes.
    termios raw{};
    if (::tcgetattr(slaveKeepAlive_, &raw) != 0) return false;
    ::cfmakeraw(&raw);
    // A client that sets nothing finds the line as the printer has it.
    ::cfsetspeed(&raw, SpeedOf(printer_.Line().baud));
    if (printer_.Line().parity == Parity::Odd) raw.c_cflag |= PARENB | PARODD;
    if (::tcsetattr(slaveKeepAlive_, TCSANOW, &raw) != 0) return false;
    // Watched only now, so the server's own opens above are not taken for a client.
    closeWatch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (closeWatch_ < 0) return false;
    return ::inotify_add_watch(closeWatch_, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) >= 0;
}

std::int64_t PtyServer::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool PtyServer::Run(int stopFd) {
    for (;;) {
        const std::int64_t now = NowMs();
        if (unsent_.empty()) {
            for (std::uint8_t b : printer_.TakeReady(now)) unsent_.push_back(b);
        }
        if (!PumpOutput()) return false;

        // Sleep until input, a stop, a close, room for unsent bytes or the
        // next slow reply (which waits while unsent bytes wait for room).
        int timeout = -1;
        const auto next = printer_.NextOutputMs();
        if (next && unsent_.empty()) {
            timeout = static_cast<int>(std::clamp<std::int64_t>(*next - now, 0, 60000));
        }
        short masterEvents = POLLIN;
        if (!unsent_.empty()) masterEvents |= POLLOUT;
        pollfd fds[3] = {{master_, masterEvents, 0}, {stopFd, POLLIN, 0}, {closeWatch_, POLLIN, 0}};
        const int rc = ::poll(fds, 3, timeout);
        if (rc < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (fds[1].revents != 0) return true;
        if (fds[0].revents & POLLIN) {
            if (!PumpInput()) return false;
        } else if (fds[0].revents & (POLLERR | POLLNVAL)) {
            return false;
        }
        // After the input: what the closing client wrote last is dropped with it.
        if ((fds[2].revents & POLLIN) && ClientClosed()) DropClientState();
    }
}

bool PtyServer::ClientClosed() {
    alignas(inotify_event) char buffer[4096];
    bool closed = false;
    for (;;) {
        const ssize_t n = ::read(closeWatch_, buffer, sizeof buffer);
        if (n <= 0) return closed;  // EAGAIN: all read
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            closed = closed || (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void PtyServer::DropClientState() {
    printer_.HostClosed();
    unsent_.clear();
    // Replies already in the terminal, waiting for a reader that has gone.
    ::tcflush(slaveKeepAlive_, TCIFLUSH);
}

void PtyServer::ReadClientLine() {
    termios attributes{};
    if (::tcgetattr(master_, &attributes) == 0) {
        printer_.SetHostLine(ClientLineOnTerminal(attributes, printer_.Line()));
    }
}

bool PtyServer::PumpInput() {
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            // Each chunk crosses the line as the client has it set now: it may have changed
            // its settings since the last one.
            ReadClientLine();
            printer_.Receive(buffer, static_cast<std::size_t>(n), NowMs());
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EAGAIN: all read. EIO: no client right now; the keep-alive slave
        // makes that transient.
        return n < 0 && (errno == EAGAIN || errno == EIO);
    }
}

bool PtyServer::PumpOutput() {
    while (!unsent_.empty()) {
        const std::vector<std::uint8_t> chunk(
            unsent_.begin(), unsent_.begin() + std::min<std::size_t>(unsent_.size(), 256));
        const ssize_t n = ::write(master_, chunk.data(), chunk.size());
        if (n > 0) {
            unsent_.erase(unsent_.begin(), unsent_.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && errno == EAGAIN;  // full: poll says when there is room
    }
    return true;
}

}  // namespace talq::sim
