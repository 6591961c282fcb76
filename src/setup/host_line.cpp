#include "setup/host_line.h"

#include "platform/spooler.h"

namespace talq::setup {

HostLineMove PlanHostLineMove(const std::string& portName, const QueuePorts& queuePorts,
                              const platform::LineSettings& line) {
    platform::Spooler& spooler = platform::CurrentSpooler();
    HostLineMove move;
    for (const auto& [queue, port] : queuePorts) {
        const std::optional<std::string> after = spooler.PortTextAtLine(port, line);
        if (!after || *after == port) continue;
        if (HoldsQueue(queue)) {
            move.queues.push_back({queue, port, *after});
        } else {
            move.unheld.push_back(queue);
        }
    }
    move.device = spooler.PortMatchText(portName);
    if (!move.device.empty()) move.defaults = spooler.PortDefaults(move.device);
    return move;
}

std::optional<std::string> MoveHostLine(const HostLineMove& move, QueuePorts& queuePorts,
                                        const platform::LineSettings& line) {
    HostLineMove done = move;
    done.queues.clear();
    done.defaults.reset();
    std::optional<std::string> failed;
    for (const QueueLineMove& queue : move.queues) {
        if (!ChangeHeldQueuePort(queue.queue, queue.after, queuePorts)) {
            failed = "the record of the print queue " + queue.queue + " could not be written";
            break;
        }
        done.queues.push_back(queue);
    }
    if (!failed && move.defaults) {
        if (platform::CurrentSpooler().SetPortDefaults(move.device, *move.defaults, &line)) {
            done.defaults = move.defaults;
        } else {
            failed = "the default settings of " + move.device + " could not be set";
        }
    }
    if (failed) UndoHostLineMove(done, queuePorts);
    return failed;
}

bool UndoHostLineMove(const HostLineMove& move, QueuePorts& queuePorts) {
    bool undone = true;
    for (const QueueLineMove& queue : move.queues) {
        undone = ChangeHeldQueuePort(queue.queue, queue.before, queuePorts) && undone;
    }
    if (move.defaults) {
        undone = platform::CurrentSpooler().SetPortDefaults(move.device, *move.defaults, nullptr) &&
                 undone;
    }
    return undone;
}

}  // namespace talq::setup
