// The command line's console: whether a person watches standard error, and
// standard output set aside for a while.
#pragma once

namespace talq::platform {

bool StandardErrorIsTerminal();

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
