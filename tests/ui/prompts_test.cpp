#include "ui/prompts.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "ui/dialog.h"
#include "ui/handler_faults.h"
#include "ui/page.h"
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

class SampleDialog : public Dialog {
  public:
    explicit SampleDialog(Window* owner = nullptr) : Dialog(test::SampleTemplate(), owner) {}
    using Dialog::OnClicked;
};

class SamplePage : public Page {
  public:
    using Page::OnClicked;
};

[[noreturn]] void Fail() {
    throw std::runtime_error("the port went away");
}

// Nothing a handler lets out reaches the window system's frames: it is shown once, over the
// dialog it happened in, ends every modal run it passes on its way out, and leaves the
// outermost one for the program's top level.
TEST(HandlerFault, IsShownOnceOverItsDialogAndEndsEveryRunOnItsWayOut) {
    const std::string stopped =
        std::string(TALQ_TEST_PROGRAM_NAME) + " stopped on an unexpected fault";
    struct Case {
        const char* where;
        // Makes `inner` fail when its OK button is pressed; `page` may hold a page.
        std::function<void(SampleDialog& inner, std::unique_ptr<SamplePage>& page)> arm;
        std::function<void(SampleDialog& inner, SamplePage* page)> act;
        std::string message;
    };
    const Case cases[] = {
        {"a button's handler", [](SampleDialog& inner, auto&) { inner.OnClicked(kIdOk, Fail); },
         [](SampleDialog& inner, SamplePage*) { test::Press(inner.window(), kIdOk); },
         stopped + " in OK: the port went away"},
        {"a task of the dialog's",
         [](SampleDialog& inner, auto&) {
             inner.OnClicked(kIdOk, [&inner] { inner.dialogWindow().After(0, Fail); });
         },
         [](SampleDialog& inner, SamplePage*) { test::Press(inner.window(), kIdOk); },
         stopped + ": the port went away"},
        {"a page's handler",
         [](SampleDialog& inner, std::unique_ptr<SamplePage>& page) {
             page = std::make_unique<SamplePage>();
             page->CreatePage(test::SampleTemplate(), inner.window());
             page->OnClicked(kIdCancel, Fail);
         },
         [](SampleDialog&, SamplePage* page) {
             page->window().Show(true);
             test::Press(page->window(), kIdCancel);
         },
         stopped + " in Cancel: the port went away"},
    };
    for (const Case& c : cases) {
        PromptRecorder prompts;
        SampleDialog outer;
        Window* innerWindow = nullptr;
        bool unwound = true;
        outer.OnClicked(kIdOk, [&] {
            SampleDialog inner(&outer.window());
            std::unique_ptr<SamplePage> page;
            c.arm(inner, page);
            innerWindow = &inner.window();
            prompts.AnswerModal(
                [&c, &page](Dialog& d) { c.act(static_cast<SampleDialog&>(d), page.get()); });
            inner.DoModal();
            unwound = false;
        });
        prompts.AnswerModal([](Dialog& d) { test::Press(d.window(), kIdOk); });
        std::exception_ptr fault;
        try {
            outer.DoModal();
        } catch (const std::runtime_error&) {
            fault = std::current_exception();
        }
        ASSERT_NE(fault, nullptr) << c.where;
        EXPECT_TRUE(FaultShown(fault)) << c.where;
        EXPECT_TRUE(unwound) << c.where;
        EXPECT_FALSE(outer.window().IsVisible()) << c.where;
        EXPECT_EQ(prompts.messages,
                  (std::vector<PromptRecorder::Message>{{c.message, MessageIcon::Exclamation}}))
            << c.where;
        EXPECT_EQ(prompts.owners, (std::vector<Window*>{innerWindow})) << c.where;
        EXPECT_EQ(prompts.modalRuns.size(), 2u) << c.where;

        // Nothing is left behind: the next run goes as any other.
        SampleDialog next;
        prompts.AnswerModal([](Dialog& d) { test::Press(d.window(), kIdCancel); });
        EXPECT_EQ(next.DoModal(), kIdCancel) << c.where;
    }

    // A dialog shown without a modal run is ended all the same.
    PromptRecorder prompts;
    SampleDialog shown;
    shown.OnClicked(kIdOk, Fail);
    shown.Show();
    test::Press(shown.window(), kIdOk);
    EXPECT_FALSE(shown.window().IsVisible());
    EXPECT_EQ(prompts.messages.size(), 1u);
    shown.window().SetText(kIdOk, "&Apply && go");
    EXPECT_EQ(ActionOf(shown.window(), kIdOk, Notification::Clicked), "Apply & go");
}

}  // namespace
}  // namespace talq::ui
