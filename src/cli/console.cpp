#include "cli/console.h"

namespace talq::cli {
namespace {

constexpr int kStep = 4;
constexpr int kBarWidth = 25;
constexpr std::size_t kBarTextWidth = kBarWidth + 7;  // "[" bar "] 100%"

}  // namespace

void Console::Message(const std::string& text) const {
    if (!quiet) err << text << std::endl;
}

void Console::Error(const std::string& text) const {
    err << "talq: " << text << std::endl;
}

void ConsoleSink::ShowMessage(const std::string& text, status::MessageIcon) {
    ClearBar();
    console_.Message(text);
}

void ConsoleSink::SetProgress(int position) {
    position_ = position;
    DrawBar();
}

void ConsoleSink::StepProgress() {
    position_ += kStep;
    if (position_ > 100) position_ = 0;
    DrawBar();
}

std::string BarText(int position) {
    const int filled = position * kBarWidth / 100;
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
           std::to_string(position) + "%";
}

void ConsoleSink::DrawBar() {
    if (console_.quiet) return;
    if (console_.progressView != nullptr) {
        console_.progressView->Show(position_);
        return;
    }
    if (!console_.progressBar) return;
    if (console_.escapes) {
        console_.err << "\r" << BarText(position_) << "\x1b[K" << std::flush;
    } else {
        // Spaces rub out what a longer bar left ("100%" before "4%").
        std::string bar = BarText(position_);
        bar.resize(kBarTextWidth, ' ');
        console_.err << "\r" << bar << std::flush;
    }
    drawn_ = true;
}

void ConsoleSink::ClearBar() {
    if (!drawn_) return;
    if (console_.escapes) {
        console_.err << "\r\x1b[K" << std::flush;
    } else {
        console_.err << "\r" << std::string(kBarTextWidth, ' ') << "\r" << std::flush;
    }
    drawn_ = false;
}

}  // namespace talq::cli
