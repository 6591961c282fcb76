// A call that may block for as long as the system likes (a host name lookup asks name servers
// with time-outs of their own), bounded: it runs on a thread of its own, and the caller waits
// for it only until its deadline. A call still running then finishes alone and what it finds
// is disposed of; the caller has long gone on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace talq::platform {

template <typename Result, typename Call, typename Discard>
std::optional<Result> CallWithin(Call call, Discard discard,
                                 std::chrono::steady_clock::time_point deadline) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
        bool abandoned = false;
    };
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, call, discard]() mutable {
            Result result = call();
            std::lock_guard lock(shared->mutex);
            if (shared->abandoned) {
                discard(result);
                return;
            }
            shared->result.emplace(std::move(result));
            shared->done.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        return call();  // no thread to be had: the call as it is
    }
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_until(lock, deadline, [&] { return shared->result.has_value(); })) {
        shared->abandoned = true;
        return std::nullopt;
    }
    return std::move(shared->result);
}

}  // namespace talq::platform
