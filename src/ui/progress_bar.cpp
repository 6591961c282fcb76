#include "ui/progress_bar.h"

#include <algorithm>

#include "ui/window.h"

namespace talq::ui {

void ProgressBar::Attach(Window& window, int id) {
    window_ = &window;
    id_ = id;
    Show();
}

void ProgressBar::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = std::max(lower, upper);
    position_ = std::clamp(position_, lower_, upper_);
    Show();
}

int ProgressBar::SetPos(int position) {
    const int previous = position_;
    position_ = std::clamp(position, lower_, upper_);
    Show();
    return previous;
}

int ProgressBar::StepIt() {
    const int previous = position_;
    position_ += step_;
    if (position_ > upper_ || position_ < lower_) position_ = lower_;
    Show();
    return previous;
}

void ProgressBar::Show() {
    if (window_ != nullptr) window_->SetProgress(id_, lower_, upper_, position_);
}

}  // namespace talq::ui
