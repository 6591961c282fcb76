// What a printer exchange tells the user and how it moves the progress bar.
// The dialogs forward these to message boxes and the progress control; tests
// record them.
#pragma once

#include <string>

namespace talq::status {

enum class MessageIcon { None, Exclamation, Information };

class ExchangeSink {
  public:
    virtual ~ExchangeSink() = default;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void StepProgress() = 0;
    // The printer's texts were read and passed the name check: a dialog shows them now, before
    // the rest of the run, whatever its outcome.
    virtual void PrinterTextsRead() {}
};

}  // namespace talq::status
