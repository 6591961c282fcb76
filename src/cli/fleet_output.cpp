#include "cli/fleet_output.h"

#include <functional>
#include <sstream>
#include <streambuf>

#include "cli/interrupts.h"
#include "platform/port_mapping.h"

namespace talq::cli {
namespace {

// Hands each complete line written to it to `emit`, without the newline.
class LineBuffer : public std::streambuf {
  public:
    template <typename Emit>
    explicit LineBuffer(Emit emit) : emit_(std::move(emit)) {}

    // A last line without its newline.
    void EmitRest() {
        if (!line_.empty()) emit_(line_);
        line_.clear();
    }

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (traits_type::to_char_type(c) == '\n') {
            emit_(line_);
            line_.clear();
        } else {
            line_ += traits_type::to_char_type(c);
        }
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        for (std::streamsize i = 0; i < count; ++i) overflow(traits_type::to_int_type(text[i]));
        return count;
    }

  private:
    std::function<void(const std::string&)> emit_;
    std::string line_;
};

// Every line carries the port's name first; the port's own errors ("talq: COM3: ...") say it
// once.
std::string Headed(const std::string& name, const std::string& line) {
    const std::string own = "talq: " + name + ": ";
    if (line.rfind(own, 0) == 0) return name + ": talq: " + line.substr(own.size());
    return name + ": " + line;
}

}  // namespace

struct FleetOutput::Port : ProgressView {
    Port(FleetOutput& fleet, std::size_t index, std::string portName)
        : owner(fleet),
          slot(index),
          name(std::move(portName)),
          errBuffer([this](const std::string& line) { owner.ErrLine(slot, line); }),
          err(&errBuffer),
          console{out, err, fleet.console_.quiet, false, fleet.board_ ? this : nullptr} {}

    void Show(int position) override { owner.Progress(slot, position); }

    FleetOutput& owner;
    const std::size_t slot;
    const std::string name;
    std::ostringstream out;
    LineBuffer errBuffer;
    std::ostream err;
    Console console;
    bool running = false;
    bool finished = false;
    int position = 0;
};

FleetOutput::FleetOutput(const Console& console, const std::vector<std::string>& names)
    : console_(console), board_(console.progressBar && !console.quiet && console.escapes) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        ports_.push_back(std::make_unique<Port>(*this, i, names[i]));
    }
    if (!board_) return;
    // Lines written from elsewhere would be wiped out by the next redraw: they come through here.
    HoldInterruptNotice(true);
    previousWriter_ = platform::SetPortsFileReportWriter([this](const std::string& line) {
        std::lock_guard lock(mutex_);
        Repaint(line + "\n");
    });
}

FleetOutput::~FleetOutput() {
    End();
}

const Console& FleetOutput::PortConsole(std::size_t index) const {
    return ports_[index]->console;
}

void FleetOutput::Started(std::size_t index) {
    std::lock_guard lock(mutex_);
    ports_[index]->running = true;
    Repaint({});
}

void FleetOutput::Finished(std::size_t index) {
    Port& port = *ports_[index];
    port.errBuffer.EmitRest();
    std::lock_guard lock(mutex_);
    port.running = false;
    port.finished = true;
    std::string blocks;
    for (; nextBlock_ < ports_.size() && ports_[nextBlock_]->finished; ++nextBlock_) {
        blocks += ports_[nextBlock_]->out.str();
    }
    if (!blocks.empty()) {
        // stdout may be the same terminal: the progress lines make room for the block first.
        Repaint({}, false);
        console_.out << blocks << std::flush;
    }
    Repaint({});
}

void FleetOutput::End() {
    if (!board_ || ended_) return;
    ended_ = true;
    // Outside the lock: a report being written holds the writer's lock and waits for ours.
    platform::SetPortsFileReportWriter(std::move(previousWriter_));
    std::lock_guard lock(mutex_);
    Repaint({}, false);
    HoldInterruptNotice(false);
}

void FleetOutput::ErrLine(std::size_t index, const std::string& line) {
    std::lock_guard lock(mutex_);
    const std::string text = Headed(ports_[index]->name, line) + "\n";
    if (board_) {
        Repaint(text);
    } else {
        console_.err << text << std::flush;
    }
}

void FleetOutput::Progress(std::size_t index, int position) {
    std::lock_guard lock(mutex_);
    if (ports_[index]->position == position) return;
    ports_[index]->position = position;
    Repaint({});
}

void FleetOutput::Repaint(const std::string& above, bool withLines) {
    if (!board_) return;
    // The notice of a first Ctrl-C goes above the lines like any message, once.
    std::string notice;
    if (!interruptSeen_ && InterruptRequested()) {
        interruptSeen_ = true;
        notice = InterruptNotice() + 1;  // without its leading line break
    }
    std::string text;
    if (drawnLines_ > 0) text += "\r\x1b[" + std::to_string(drawnLines_) + "A";
    text += "\x1b[J" + notice + above;
    drawnLines_ = 0;
    for (const auto& port : ports_) {
        if (!withLines || !port->running) continue;
        text += port->name + " " + BarText(port->position) + "\n";
        ++drawnLines_;
    }
    console_.err << text << std::flush;
}

}  // namespace talq::cli
