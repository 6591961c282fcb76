// The requests to end the program that arrive as signals (SIGINT, SIGTERM,
// SIGHUP), turned into a descriptor an event loop can watch: the handler only
// writes the signal's number to a pipe, and the work it asks for runs later
// from the loop, where anything may be done.
#pragma once

namespace talq::platform {

class TerminationSignals {
  public:
    // Catches the three signals for the life of the object (one at a time);
    // the handlers from before come back afterwards.
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool Valid() const { return readEnd_ >= 0; }
    // Becomes readable when a signal has arrived.
    int fd() const { return readEnd_; }
    // The latest signal that arrived since the last call (0 when none); never blocks.
    int TakeSignal();

  private:
    int readEnd_ = -1;
};

}  // namespace talq::platform
