#include "ui/progress_bar.h"

#include <QProgressBar>
#include <algorithm>

namespace talq::ui {

void ProgressBar::Attach(QProgressBar* bar) {
    bar_ = bar;
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
    if (bar_ == nullptr) return;
    bar_->setRange(lower_, upper_);
    bar_->setValue(position_);
    // The thread stays busy with the exchange; paint now, not at the next
    // event loop turn.
    bar_->repaint();
}

}  // namespace talq::ui
