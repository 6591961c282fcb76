// A progress bar driven by direct calls while the thread is busy with an
// exchange: every change is painted at once, without running the event loop.
#pragma once

namespace talq::ui {

class Window;

class ProgressBar {
  public:
    ProgressBar() = default;
    void Attach(Window& window, int id);

    void SetRange(int lower, int upper);
    void SetStep(int step) { step_ = step; }
    // Each returns the position before the change.
    int SetPos(int position);
    // Advances by the step; past the upper end the bar starts again from the lower.
    int StepIt();
    int GetPos() const { return position_; }

  private:
    void Show();

    Window* window_ = nullptr;
    int id_ = 0;
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 10;
    int position_ = 0;
};

}  // namespace talq::ui
