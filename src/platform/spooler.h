// The print spooler as the platform offers it: the local print queues with the
// port each prints to, and the few changes the program makes to a queue while
// it holds the queue's port. Installed process-wide beside the device I/O
// platform, so a test may put a scripted spooler in its place.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace talq::platform {

struct SpoolerQueue {
    std::string name;
    std::string portText;  // where the queue prints to (CUPS: its device URI)
};

enum class QueueLookup {
    Found,
    Missing,  // the queue does not exist (any more)
    Failed,   // the spooler could not be asked, or did not answer
};

struct QueueState {
    QueueLookup lookup = QueueLookup::Failed;
    std::string portText;
    bool paused = false;  // holds its jobs instead of printing them
};

class Spooler {
  public:
    virtual ~Spooler() = default;

    // Names the scheduler this spooler talks to, in a form Reach() accepts.
    virtual std::string Scheduler() = 0;
    // The same kind of spooler on another scheduler; nullptr when it cannot be
    // addressed from here.
    virtual std::unique_ptr<Spooler> Reach(const std::string& scheduler) = 0;

    // The text a queue's port must contain to print to `portName` ("COM1",
    // "LPT2"); empty when the name stands for no device, which matches nothing.
    virtual std::string PortMatchText(const std::string& portName) = 0;
    // Whether a queue with `portText` prints to the device `match` (from
    // PortMatchText) as a whole, not to another device whose name begins alike.
    virtual bool PrintsTo(const std::string& portText, const std::string& match) = 0;
    // The port that prints nowhere, which a queue is switched to.
    virtual std::string DiscardPort() = 0;

    // Local queues in the spooler's order, without remote or discovered ones;
    // nullopt when the spooler cannot list them.
    virtual std::optional<std::vector<SpoolerQueue>> LocalQueues() = 0;
    virtual QueueState ReadQueue(const std::string& name) = 0;
    // May create a missing queue (CUPS does): read the queue first.
    virtual bool SetPortText(const std::string& name, const std::string& portText) = 0;
    virtual bool Pause(const std::string& name) = 0;
    virtual bool Resume(const std::string& name) = 0;

    // The port text of a queue that prints to the same device at `line` instead (a CUPS
    // serial: URI's options); nullopt when the text keeps no line settings of its own (a
    // Windows port name, another kind of URI).
    virtual std::optional<std::string> PortTextAtLine(const std::string& portText,
                                                      const LineSettings& line) = 0;
    // The line settings the system keeps for the device `match` (from PortMatchText) for
    // whoever opens it without settings of its own, as the spooler's port does on Windows
    // (the port's default configuration): opaque, to be put back exactly. nullopt when the
    // system keeps none (CUPS) or they cannot be read.
    virtual std::optional<std::string> PortDefaults(const std::string& match) = 0;
    // Writes `defaults` (from PortDefaults) back, with `line` put into them when given.
    virtual bool SetPortDefaults(const std::string& match, const std::string& defaults,
                                 const LineSettings* line) = 0;
};

// The installed spooler: the CUPS one unless a test installs another.
Spooler& CurrentSpooler();
// Installs `spooler` (not owned) and returns the one it replaces; nullptr
// restores the CUPS spooler.
Spooler* InstallSpooler(Spooler* spooler);

}  // namespace talq::platform
