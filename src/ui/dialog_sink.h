// Where a printer exchange run from a dialog reports: its messages become
// message boxes owned by the dialog, its progress moves the dialog's bar.
#pragma once

#include "status/exchange_sink.h"
#include "ui/progress_bar.h"

namespace talq::ui {

class Window;

class DialogSink : public status::ExchangeSink {
  public:
    explicit DialogSink(Window& owner, ProgressBar* progress = nullptr)
        : owner_(owner), progress_(progress) {}

    void ShowMessage(const std::string& text, status::MessageIcon icon) override;
    void SetProgress(int position) override;
    void StepProgress() override;

  private:
    Window& owner_;
    ProgressBar* progress_;
};

}  // namespace talq::ui
