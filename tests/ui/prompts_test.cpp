#include "ui/prompts.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "ui/dialog.h"
#include "ui/sample_template.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"

namespace talq::ui {
namespace {

using test::PromptRecorder;

TEST(ModalRun, EachWayOfEndingGivesItsResultCode) {
    struct Case {
        const char* how;
        std::function<void(Dialog&)> action;
        int result;
    };
    const Case cases[] = {
        {"OK", [](Dialog& d) { test::Press(d.window(), kIdOk); }, kIdOk},
        {"Cancel", [](Dialog& d) { test::Press(d.window(), kIdCancel); }, kIdCancel},
        {"Escape", [](Dialog& d) { test::PressKey(d.window(), test::Key::Escape); }, kIdCancel},
        {"Enter on a list",
         [](Dialog& d) {
             test::Focus(d.window(), 20);
             test::PressKey(d.window(), test::Key::Enter);
         },
         kIdOk},
        {"Enter on Cancel",
         [](Dialog& d) {
             test::Focus(d.window(), kIdCancel);
             test::PressKey(d.window(), test::Key::Enter);
         },
         kIdCancel},
    };
    PromptRecorder prompts;
    for (const auto& c : cases) {
        Dialog dialog(test::SampleTemplate());
        prompts.AnswerModal(c.action);
        EXPECT_EQ(dialog.DoModal(), c.result) << c.how;
    }
    EXPECT_EQ(prompts.modalRuns.size(), std::size(cases));
    EXPECT_EQ(prompts.modalRuns.front(), "Sample");
}

TEST(ModalRun, AnUnansweredOrUnendedRunFailsFast) {
    PromptRecorder prompts;
    prompts.watchdogMs = 50;
    Dialog dialog(test::SampleTemplate());
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(dialog.DoModal(), kIdCancel), "unanswered modal run");
    prompts.AnswerModal([](Dialog&) {});
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(dialog.DoModal(), kIdCancel), "not ended by its answer");
    EXPECT_NONFATAL_FAILURE(prompts.AskFileName(&dialog.window(), {}), "unanswered file dialog");
}

TEST(MessageBox, RecordedWithItsOwnerAndTheApplicationsNameAsCaption) {
    PromptRecorder prompts;
    Dialog dialog(test::SampleTemplate());
    MessageBox(&dialog.window(), "Printer is connected.", MessageIcon::Information);
    MessageBox(nullptr, "plain");
    EXPECT_EQ(prompts.messages, (std::vector<PromptRecorder::Message>{
                                    {"Printer is connected.", MessageIcon::Information},
                                    {"plain", MessageIcon::None}}));
    EXPECT_EQ(prompts.owners, (std::vector<Window*>{&dialog.window(), nullptr}));
    // The program file's name, without its extension.
    EXPECT_EQ(prompts.captions.front(), TALQ_TEST_PROGRAM_NAME);
    EXPECT_EQ(FileNameOf("/home/user/status/saved.sts"), "saved.sts");
}

}  // namespace
}  // namespace talq::ui
