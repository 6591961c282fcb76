// The command line's console: whether a person watches standard error, how text reaches it,
// and standard output set aside for a while.
#pragma once

namespace talq::platform {

bool StandardErrorIsTerminal();

// Points std::cout and std::cerr at the system as it takes UTF-8 text. On Windows a console gets
// wide text (WriteConsoleW), so that names outside its code page ("Łukasz", "Café №1.sts") show
// as they are; a file or pipe gets the UTF-8 bytes, with the runtime's line ends as before.
// Whole lines go out at once, and a character split between two writes waits for its rest.
// Nothing changes on POSIX, whose terminals take UTF-8.
void SetUpStandardStreams();

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
