// TCP connections to device servers over POSIX sockets: a non-blocking socket waited on in
// poll, never a blocking call without a bound.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/bounded_lookup.h"
#include "platform/stream_socket.h"
#include "platform/system_reason.h"

namespace talq::platform {
namespace {

using std::chrono::milliseconds;

// Waits for `events` until `deadline`; a deadline already passed still looks once.
bool Ready(int fd, short events, SteadyClock::time_point deadline) {
    for (;;) {
        const auto left = std::max(deadline - SteadyClock::now(), SteadyClock::duration::zero());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec wait{static_cast<time_t>(ns / 1000000000),
                            static_cast<long>(ns % 1000000000)};
        pollfd polled{fd, events, 0};
        const int rc = ::ppoll(&polled, 1, &wait, nullptr);
        if (rc < 0 && errno == EINTR) continue;
        return rc > 0;  // an error or a hang-up shows in the call that follows
    }
}

class PosixStream final : public StreamSocket {
  public:
    explicit PosixStream(int fd) : fd_(fd) {}
    ~PosixStream() override { ::close(fd_); }

    DeviceHandle Id() const override { return fd_; }

    Received Receive(std::uint8_t* buffer, int capacity,
                     SteadyClock::time_point deadline) override {
        for (;;) {
            if (!Ready(fd_, POLLIN, deadline)) return {Received::TimedOut, 0};
            const ssize_t got =
                ::recv(fd_, buffer, static_cast<std::size_t>(capacity), MSG_DONTWAIT);
            if (got > 0) return {Received::Data, static_cast<int>(got)};
            if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
                if (SteadyClock::now() >= deadline) return {Received::TimedOut, 0};
                continue;
            }
            return {Received::Closed, 0};  // closed by the server, reset, or failed
        }
    }

    IoResult Send(const std::uint8_t* data, int count, int stallMs) override {
        IoResult result;
        auto stallEnd = SteadyClock::now() + milliseconds(stallMs);
        while (result.count < count) {
            // MSG_NOSIGNAL: a server gone away fails the send instead of ending the program.
            const ssize_t sent =
                ::send(fd_, data + result.count, static_cast<std::size_t>(count - result.count),
                       MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0) {
                result.count += static_cast<int>(sent);
                stallEnd = SteadyClock::now() + milliseconds(stallMs);
                continue;
            }
            if (sent < 0 && errno == EINTR) continue;
            if (sent < 0 && errno != EAGAIN) {
                result.hangUp = true;
                return result;
            }
            if (SteadyClock::now() >= stallEnd) return result;
            Ready(fd_, POLLOUT, stallEnd);
        }
        result.ok = true;
        return result;
    }

  private:
    int fd_;
};

struct Lookup {
    addrinfo* list = nullptr;
    int error = 0;
};

Lookup Resolve(const std::string& host, const std::string& service, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | flags;
    Lookup lookup;
    lookup.error = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &lookup.list);
    return lookup;
}

// An address is looked up at once; a name on a thread of its own, waited for until `deadline`.
std::optional<Lookup> ResolveWithin(const std::string& host, const std::string& service,
                                    SteadyClock::time_point deadline) {
    Lookup numeric = Resolve(host, service, AI_NUMERICHOST);
    if (numeric.error != EAI_NONAME) return numeric;
    return CallWithin<Lookup>([host, service] { return Resolve(host, service, 0); },
                              [](Lookup& late) {
                                  if (late.error == 0) ::freeaddrinfo(late.list);
                              },
                              deadline);
}

}  // namespace

std::unique_ptr<StreamSocket> ConnectStream(const std::string& host, const std::string& service,
                                            std::string& failure) {
    const auto deadline = SteadyClock::now() + milliseconds(kNetworkConnectMs);
    const std::string within = " within " + std::to_string(kNetworkConnectMs / 1000) + " s";
    const std::optional<Lookup> lookup = ResolveWithin(host, service, deadline);
    if (!lookup) {
        failure = "the name " + host + " was not found" + within;
        return nullptr;
    }
    if (lookup->error != 0) {
        failure = "the name " + host + " was not found (" + ::gai_strerror(lookup->error) + ")";
        return nullptr;
    }
    int lastError = 0;
    std::unique_ptr<StreamSocket> stream;
    for (const addrinfo* at = lookup->list; at != nullptr && !stream; at = at->ai_next) {
        const int fd = ::socket(at->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int error = ::connect(fd, at->ai_addr, at->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            socklen_t length = sizeof error;
            error = ETIMEDOUT;
            if (Ready(fd, POLLOUT, deadline))
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        }
        if (error != 0) {
            lastError = error;
            ::close(fd);
            if (SteadyClock::now() >= deadline) break;
            continue;
        }
        // Commands are a few bytes each, and each waits for its answer: send them at once.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        stream = std::make_unique<PosixStream>(fd);
    }
    ::freeaddrinfo(lookup->list);
    if (!stream) {
        failure = lastError == ETIMEDOUT ? "no answer from the device server" + within
                                         : SystemReason(lastError);
    }
    return stream;
}

}  // namespace talq::platform
