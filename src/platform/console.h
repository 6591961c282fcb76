// The command line's console: whether a person watches standard error, and
// standard output set aside for a while.
#pragma once

namespace talq::platform {

bool StandardErrorIsTerminal();

// Whether the terminal on standard error draws the cursor-moving escape sequences of the
// progress lines; on Windows this switches the console's virtual-terminal processing on where
// the console has it (a classic console shows the sequences as text instead).
bool StandardErrorTakesEscapes();

// While it lives, what the program writes to standard output goes to standard
// error instead, or nowhere when `discard` is set.
class StandardOutputAside {
  public:
    explicit StandardOutputAside(bool discard);
    ~StandardOutputAside();
    StandardOutputAside(const StandardOutputAside&) = delete;
    StandardOutputAside& operator=(const StandardOutputAside&) = delete;

  private:
    int saved_ = -1;
};

}  // namespace talq::platform
