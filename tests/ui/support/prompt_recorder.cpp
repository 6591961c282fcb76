#include "ui/support/prompt_recorder.h"

#include <gtest/gtest.h>

#include <QTimer>

namespace talq::test {

PromptRecorder::PromptRecorder() : previous_(ui::InstallPrompter(this)) {}

PromptRecorder::~PromptRecorder() {
    ui::InstallPrompter(previous_);
    EXPECT_TRUE(modalAnswers_.empty()) << modalAnswers_.size() << " modal answer(s) unused";
    EXPECT_TRUE(fileAnswers_.empty()) << fileAnswers_.size() << " file answer(s) unused";
}

void PromptRecorder::AnswerModal(std::function<void(QDialog&)> action) {
    modalAnswers_.push_back(std::move(action));
}

void PromptRecorder::AnswerFile(std::optional<std::string> path) {
    fileAnswers_.push_back(std::move(path));
}

void PromptRecorder::ShowMessage(QWidget* owner, const std::string& text, ui::MessageIcon icon) {
    messages.push_back({text, icon});
    owners.emplace_back(ui::OwnerWindow(owner));
    captions.push_back(ui::ApplicationName());
    if (onMessage) onMessage(messages.back());
}

std::optional<std::string> PromptRecorder::AskFileName(QWidget*, const ui::FileRequest& request) {
    fileRequests.push_back(request);
    if (fileAnswers_.empty()) {
        ADD_FAILURE() << "unanswered file dialog \"" << request.title << "\"";
        return std::nullopt;
    }
    auto answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

int PromptRecorder::RunModal(QDialog& dialog) {
    modalRuns.push_back(dialog.windowTitle().toStdString());
    if (modalAnswers_.empty()) {
        ADD_FAILURE() << "unanswered modal run of \"" << modalRuns.back() << "\"";
        return 2 /* cancel */;
    }
    auto action = std::move(modalAnswers_.front());
    modalAnswers_.pop_front();
    QTimer::singleShot(0, &dialog, [&dialog, action = std::move(action)] { action(dialog); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&dialog] {
        ADD_FAILURE() << "modal run of \"" << dialog.windowTitle().toStdString()
                      << "\" not ended by its answer";
        dialog.done(2 /* cancel */);
    });
    watchdog.start(watchdogMs);
    return dialog.exec();
}

void PrintTo(const PromptRecorder::Message& message, std::ostream* out) {
    static const char* const kIcons[] = {"none", "exclamation", "information"};
    *out << '"' << message.text << "\" (" << kIcons[static_cast<int>(message.icon)] << ')';
}

}  // namespace talq::test
