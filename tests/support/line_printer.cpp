#include "support/line_printer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace talq::test {
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
        default:
            return -1;
    }
}

}  // namespace

LinePrinter::LinePrinter(int model) : printer_(model) {
    if (!pty_.Valid() || ::pipe2(stop_, O_CLOEXEC) != 0) return;
    thread_ = std::thread([this] { Serve(); });
}

std::vector<LineSeen> LinePrinter::LinesSeen() {
    std::lock_guard lock(mutex_);
    return seen_;
}

void LinePrinter::ForgetLines() {
    std::lock_guard lock(mutex_);
    seen_.clear();
}

void LinePrinter::Serve() {
    const int master = pty_.MasterFd();
    for (;;) {
        pollfd polled[2] = {{master, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        if (::poll(polled, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (polled[1].revents != 0) return;
        std::uint8_t buffer[512];
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) continue;  // nothing now (the slave's last opener closed)
        termios line{};
        ::tcgetattr(master, &line);
        const LineSeen now{BaudOf(::cfgetospeed(&line)), (line.c_cflag & CSTOPB) != 0,
                           (line.c_cflag & CRTSCTS) != 0,
                           (line.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF)};
        {
            std::lock_guard lock(mutex_);
            if (seen_.empty() || !(seen_.back() == now)) seen_.push_back(now);
        }
        received_ += static_cast<std::size_t>(got);
        printer_.Receive(buffer, static_cast<std::size_t>(got));
        if (printer_.HasOutput()) pty_.Write(printer_.TakeOutput());
    }
}

void LinePrinter::Stop() {
    if (thread_.joinable()) {
        const char byte = 0;
        [[maybe_unused]] const auto written = ::write(stop_[1], &byte, 1);
        thread_.join();
    }
    for (int& fd : stop_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace talq::test
