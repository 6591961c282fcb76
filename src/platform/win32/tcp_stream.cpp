// TCP connections to device servers over Winsock: a non-blocking socket waited on in select
// (which, unlike WSAPoll, reports a refused connect), never a blocking call without a bound.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "platform/bounded_lookup.h"
#include "platform/stream_socket.h"
#include "platform/system_reason.h"

namespace talq::platform {
namespace {

using std::chrono::milliseconds;

void StartWinsock() {
    static std::once_flag started;
    std::call_once(started, [] {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    });
}

enum class Wait { Read, Write, Connect };

// Waits until `deadline`; a deadline already passed still looks once. For a connect, true
// also when it failed (the error is then the socket's).
bool Ready(SOCKET socket, Wait wait, SteadyClock::time_point deadline) {
    const auto left = std::max(deadline - SteadyClock::now(), SteadyClock::duration::zero());
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
    timeval timeout{static_cast<long>(us / 1000000), static_cast<long>(us % 1000000)};
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    const int rc =
        select(0, wait == Wait::Read ? &ready : nullptr, wait == Wait::Read ? nullptr : &ready,
               wait == Wait::Connect ? &failed : nullptr, &timeout);
    return rc > 0;
}

class WinsockStream final : public StreamSocket {
  public:
    explicit WinsockStream(SOCKET socket) : socket_(socket) {}
    ~WinsockStream() override { closesocket(socket_); }

    // A socket is a kernel handle: no other open device of this process has its number.
    DeviceHandle Id() const override { return static_cast<DeviceHandle>(socket_); }

    Received Receive(std::uint8_t* buffer, int capacity,
                     SteadyClock::time_point deadline) override {
        for (;;) {
            if (!Ready(socket_, Wait::Read, deadline)) return {Received::TimedOut, 0};
            const int got = recv(socket_, reinterpret_cast<char*>(buffer), capacity, 0);
            if (got > 0) return {Received::Data, got};
            if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
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
            const int sent = send(socket_, reinterpret_cast<const char*>(data + result.count),
                                  count - result.count, 0);
            if (sent > 0) {
                result.count += sent;
                stallEnd = SteadyClock::now() + milliseconds(stallMs);
                continue;
            }
            if (WSAGetLastError() != WSAEWOULDBLOCK) {
                result.hangUp = true;
                return result;
            }
            if (SteadyClock::now() >= stallEnd) return result;
            Ready(socket_, Wait::Write, stallEnd);
        }
        result.ok = true;
        return result;
    }

  private:
    SOCKET socket_;
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
    lookup.error = getaddrinfo(host.c_str(), service.c_str(), &hints, &lookup.list);
    return lookup;
}

// An address is looked up at once; a name on a thread of its own, waited for until `deadline`.
std::optional<Lookup> ResolveWithin(const std::string& host, const std::string& service,
                                    SteadyClock::time_point deadline) {
    Lookup numeric = Resolve(host, service, AI_NUMERICHOST);
    if (numeric.error != EAI_NONAME) return numeric;
    return CallWithin<Lookup>([host, service] { return Resolve(host, service, 0); },
                              [](Lookup& late) {
                                  if (late.error == 0) freeaddrinfo(late.list);
                              },
                              deadline);
}

}  // namespace

std::unique_ptr<StreamSocket> ConnectStream(const std::string& host, const std::string& service,
                                            std::string& failure) {
    StartWinsock();
    const auto deadline = SteadyClock::now() + milliseconds(kNetworkConnectMs);
    const std::string within = " within " + std::to_string(kNetworkConnectMs / 1000) + " s";
    const std::optional<Lookup> lookup = ResolveWithin(host, service, deadline);
    if (!lookup) {
        failure = "the name " + host + " was not found" + within;
        return nullptr;
    }
    if (lookup->error != 0) {
        failure = "the name " + host + " was not found (" + SystemReason(lookup->error) + ")";
        return nullptr;
    }
    int lastError = 0;
    std::unique_ptr<StreamSocket> stream;
    for (const addrinfo* at = lookup->list; at != nullptr && !stream; at = at->ai_next) {
        const SOCKET socket = ::socket(at->ai_family, SOCK_STREAM, IPPROTO_TCP);
        if (socket == INVALID_SOCKET) {
            lastError = WSAGetLastError();
            continue;
        }
        // Not inherited by programs we start; transfers never block.
        SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
        u_long nonBlocking = 1;
        ioctlsocket(socket, FIONBIO, &nonBlocking);
        int error = connect(socket, at->ai_addr, static_cast<int>(at->ai_addrlen)) == 0
                        ? 0
                        : WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            int length = sizeof error;
            error = WSAETIMEDOUT;
            if (Ready(socket, Wait::Connect, deadline)) {
                getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
            }
        }
        if (error != 0) {
            lastError = error;
            closesocket(socket);
            if (SteadyClock::now() >= deadline) break;
            continue;
        }
        // Commands are a few bytes each, and each waits for its answer: send them at once.
        const BOOL on = TRUE;
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        stream = std::make_unique<WinsockStream>(socket);
    }
    freeaddrinfo(lookup->list);
    if (!stream) {
        failure = lastError == WSAETIMEDOUT ? "no answer from the device server" + within
                                            : SystemReason(lastError);
    }
    return stream;
}

}  // namespace talq::platform
