// Watches a source of notices from the UI thread's own loop, so they run
// between exchanges and never during one.
#pragma once

#include <functional>
#include <memory>

namespace talq::ui {

class EventWatch {
  public:
    virtual ~EventWatch() = default;
};

// Runs `onReadable` on the UI thread whenever descriptor `fd` is readable,
// for the watch's lifetime. nullptr when `fd` is negative (the notices then
// come as window messages, which the loop dispatches anyway).
std::unique_ptr<EventWatch> WatchDescriptor(int fd, std::function<void()> onReadable);

}  // namespace talq::ui
