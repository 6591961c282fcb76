// What several ports print while they run at once. Each port writes to a console of its own:
// its stdout is held and appears as one block, in the order the ports were given, once every
// port before it has finished; its stderr goes out line by line, each line whole and headed by
// the port's name; and when stderr is a terminal each running port has one progress line,
// redrawn in place below the messages, which then include the ports files' reports and the
// notice of a first Ctrl-C.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/console.h"
#include "platform/port_mapping.h"

namespace talq::cli {

class FleetOutput {
  public:
    FleetOutput(const Console& console, const std::vector<std::string>& names);
    ~FleetOutput();
    FleetOutput(const FleetOutput&) = delete;
    FleetOutput& operator=(const FleetOutput&) = delete;

    // The console port `index` runs with; only that port's thread writes to it.
    const Console& PortConsole(std::size_t index) const;
    // The port starts: it gets its progress line.
    void Started(std::size_t index);
    // The port is done (or was never run): its progress line goes, and its stdout block and those
    // of finished ports after it go out as far as the given order allows.
    void Finished(std::size_t index);
    // Removes the progress lines from the terminal.
    void End();

  private:
    struct Port;
    void ErrLine(std::size_t index, const std::string& line);
    void Progress(std::size_t index, int position);
    // With the lock held: `above` written over the progress lines, and (`withLines`) those
    // drawn again below it.
    void Repaint(const std::string& above, bool withLines = true);

    const Console& console_;
    const bool board_;  // progress lines on a terminal
    std::vector<std::unique_ptr<Port>> ports_;
    std::mutex mutex_;
    std::size_t nextBlock_ = 0;  // the first port whose stdout has not gone out
    int drawnLines_ = 0;
    bool interruptSeen_ = false;
    bool ended_ = false;
    platform::PortsFileReportWriter previousWriter_;
};

}  // namespace talq::cli
