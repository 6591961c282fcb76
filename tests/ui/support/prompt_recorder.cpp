#include "ui/support/prompt_recorder.h"

#include <gtest/gtest.h>

#include <memory>

namespace talq::test {

PromptRecorder::PromptRecorder() : previous_(ui::InstallPrompter(this)) {}

PromptRecorder::~PromptRecorder() {
    ui::InstallPrompter(previous_);
    EXPECT_TRUE(modalAnswers_.empty()) << modalAnswers_.size() << " modal answer(s) unused";
    EXPECT_TRUE(fileAnswers_.empty()) << fileAnswers_.size() << " file answer(s) unused";
}

void PromptRecorder::AnswerModal(std::function<void(ui::Dialog&)> action) {
    modalAnswers_.push_back(std::move(action));
}

void PromptRecorder::AnswerFile(std::optional<std::string> path) {
    fileAnswers_.push_back(std::move(path));
}

void PromptRecorder::ShowMessage(ui::Window* owner, const std::string& text, ui::MessageIcon icon) {
    messages.push_back({text, icon});
    owners.push_back(owner);
    captions.push_back(ui::ApplicationName());
    if (onMessage) onMessage(messages.back());
}

std::optional<std::string> PromptRecorder::AskFileName(ui::Window*,
                                                       const ui::FileRequest& request) {
    fileRequests.push_back(request);
    if (fileAnswers_.empty()) {
        ADD_FAILURE() << "unanswered file dialog \"" << request.title << "\"";
        return std::nullopt;
    }
    auto answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

int PromptRecorder::RunModal(ui::Dialog& dialog) {
    modalRuns.push_back(dialog.window().Caption());
    if (modalAnswers_.empty()) {
        ADD_FAILURE() << "unanswered modal run of \"" << modalRuns.back() << "\"";
        return ui::kIdCancel;
    }
    auto action = std::move(modalAnswers_.front());
    modalAnswers_.pop_front();
    ui::DialogWindow& window = dialog.dialogWindow();
    // The answer runs once the modal loop is going; a watchdog ends a run the answer left open.
    auto ended = std::make_shared<bool>(false);
    window.After(0, [&dialog, action = std::move(action)] { action(dialog); });
    window.After(watchdogMs, [&dialog, ended] {
        if (*ended) return;
        ADD_FAILURE() << "modal run of \"" << dialog.window().Caption()
                      << "\" not ended by its answer";
        dialog.EndDialog(ui::kIdCancel);
    });
    // Ended also when the run throws a handler's fault on.
    const struct Ended {
        std::shared_ptr<bool> flag;
        ~Ended() { *flag = true; }
    } runEnded{ended};
    const int code = window.RunModal();
    modalResults.push_back(code);
    return code;
}

void PrintTo(const PromptRecorder::Message& message, std::ostream* out) {
    static const char* const kIcons[] = {"none", "exclamation", "information"};
    *out << '"' << message.text << "\" (" << kIcons[static_cast<int>(message.icon)] << ')';
}

}  // namespace talq::test
