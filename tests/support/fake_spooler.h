// A scripted print spooler: queues in memory, a log of every call, and faults
// on demand, for step-by-step tests of the queue redirection. Ports checked at
// once may call it from several threads.
#pragma once

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/port_match.h"
#include "platform/serial_uri.h"
#include "platform/spooler.h"
#include "support/scoped_platform.h"

namespace talq::test {

struct FakeQueue {
    std::string name;
    std::string portText;
    bool paused = false;
};

class FakeSpooler final : public platform::Spooler {
  public:
    std::vector<FakeQueue> queues;
    std::vector<std::string> calls;         // "read Q", "set Q URI", "pause Q", "resume Q"
    std::set<std::string> failingReads;     // the spooler does not answer for these
    std::set<std::string> vanishingOnRead;  // deleted between the listing and the read
    std::string scheduler = "fake";

    std::string Scheduler() override { return scheduler; }
    // Other schedulers are out of reach.
    std::unique_ptr<Spooler> Reach(const std::string&) override { return nullptr; }
    std::string PortMatchText(const std::string& portName) override {
        return platform::DevicePathForPort(portName);
    }
    bool PrintsTo(const std::string& portText, const std::string& match) override {
        return platform::UriNamesDevice(portText, match);
    }
    std::string DiscardPort() override { return "file:/dev/null"; }

    std::optional<std::vector<platform::SpoolerQueue>> LocalQueues() override {
        std::lock_guard lock(mutex_);
        std::vector<platform::SpoolerQueue> listed;
        for (const auto& q : queues) listed.push_back({q.name, q.portText});
        return listed;
    }
    platform::QueueState ReadQueue(const std::string& name) override {
        std::lock_guard lock(mutex_);
        calls.push_back("read " + name);
        if (failingReads.count(name) != 0) return {};
        if (vanishingOnRead.count(name) != 0)
            std::erase_if(queues, [&](auto& q) { return q.name == name; });
        const FakeQueue* queue = Find(name);
        if (queue == nullptr) return {platform::QueueLookup::Missing, {}, false};
        return {platform::QueueLookup::Found, queue->portText, queue->paused};
    }
    bool SetPortText(const std::string& name, const std::string& portText) override {
        std::lock_guard lock(mutex_);
        calls.push_back("set " + name + " " + portText);
        FakeQueue* queue = Find(name);
        if (queue != nullptr) queue->portText = portText;
        return queue != nullptr;
    }
    bool Pause(const std::string& name) override { return SetPaused(name, true); }
    bool Resume(const std::string& name) override { return SetPaused(name, false); }
    // Its queues' port texts as CUPS keeps them, and no port defaults.
    std::optional<std::string> PortTextAtLine(const std::string& portText,
                                              const platform::LineSettings& line) override {
        return platform::SerialUriAtLine(portText, line);
    }
    std::optional<std::string> PortDefaults(const std::string&) override { return std::nullopt; }
    bool SetPortDefaults(const std::string&, const std::string&,
                         const platform::LineSettings*) override {
        return false;
    }

    FakeQueue* Find(const std::string& name) {
        const auto it =
            std::find_if(queues.begin(), queues.end(), [&](auto& q) { return q.name == name; });
        return it != queues.end() ? &*it : nullptr;
    }

  private:
    bool SetPaused(const std::string& name, bool paused) {
        std::lock_guard lock(mutex_);
        calls.push_back((paused ? "pause " : "resume ") + name);
        FakeQueue* queue = Find(name);
        if (queue != nullptr) queue->paused = paused;
        return queue != nullptr;
    }

    std::mutex mutex_;
};

}  // namespace talq::test
