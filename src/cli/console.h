// Where a command's output goes: results to `out`, the system's messages and errors to `err`,
// and a progress bar on `err` when it is a terminal.
#pragma once

#include <ostream>
#include <string>

#include "status/exchange_sink.h"

namespace talq::cli {

// A progress line drawn somewhere else than the console's own bar line: with several ports, the
// port's line among those of the other running ports.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void Show(int position) = 0;
};

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool quiet = false;                    // no messages, no progress bar; errors still shown
    bool progressBar = false;              // only when err is a terminal
    ProgressView* progressView = nullptr;  // takes the bar's place when set
    bool escapes = true;                   // the terminal draws cursor-moving sequences

    void Message(const std::string& text) const;
    void Error(const std::string& text) const;
};

// "[#####....................] 20%": the bar for `position` (0..100).
std::string BarText(int position);

// Forwards what an exchange tells the user to the console, and draws its progress as the
// status dialog's bar moves: 0..100 in steps of 4, starting again from 0 past 100.
class ConsoleSink : public status::ExchangeSink {
  public:
    explicit ConsoleSink(const Console& console) : console_(console) {}
    ~ConsoleSink() override { ClearBar(); }

    void ShowMessage(const std::string& text, status::MessageIcon icon) override;
    void SetProgress(int position) override;
    void StepProgress() override;

    // Removes the bar from the terminal line.
    void ClearBar();

  private:
    void DrawBar();

    const Console& console_;
    int position_ = 0;
    bool drawn_ = false;
};

}  // namespace talq::cli
