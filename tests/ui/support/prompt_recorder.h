// Answers the prompt seam in tests: records each message box, hands out the
// file names a test queued, and runs dialogs modally only when the test said
// how to end them. A modal run nobody answered fails the test at once; one
// the answer did not end is ended by a watchdog and fails the test.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/dialog.h"
#include "ui/prompts.h"

namespace talq::test {

class PromptRecorder : public ui::Prompter {
  public:
    struct Message {
        std::string text;
        ui::MessageIcon icon = ui::MessageIcon::None;
        bool operator==(const Message& other) const {
            return text == other.text && icon == other.icon;
        }
    };

    // Installs itself for its lifetime.
    PromptRecorder();
    ~PromptRecorder() override;
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;

    // The next modal run: `action` runs once the dialog's modal loop is
    // going, and should end it (click its buttons, press Escape).
    void AnswerModal(std::function<void(ui::Dialog&)> action);
    // The next file question: a path, or nullopt for Cancel.
    void AnswerFile(std::optional<std::string> path);

    void ShowMessage(ui::Window* owner, const std::string& text, ui::MessageIcon icon) override;
    std::optional<std::string> AskFileName(ui::Window* owner,
                                           const ui::FileRequest& request) override;
    int RunModal(ui::Dialog& dialog) override;

    std::vector<Message> messages;
    // The window that owned each message box (nullptr: none given), and its caption.
    std::vector<ui::Window*> owners;
    std::vector<std::string> captions;
    std::vector<ui::FileRequest> fileRequests;
    // Window titles of the dialogs run modally.
    std::vector<std::string> modalRuns;
    // The code each modal run ended with.
    std::vector<int> modalResults;
    // Runs as each message box is shown, e.g. to look at buttons meanwhile.
    std::function<void(const Message&)> onMessage;

    // How long an answered modal run may last before the watchdog ends it.
    int watchdogMs = 5000;

  private:
    ui::Prompter* previous_;
    std::deque<std::function<void(ui::Dialog&)>> modalAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
};

void PrintTo(const PromptRecorder::Message& message, std::ostream* out);

}  // namespace talq::test
