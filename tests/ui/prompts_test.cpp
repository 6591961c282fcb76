#include "ui/prompts.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include "ui/dialog.h"
#include "ui/sample_template.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/widget_actions.h"

namespace talq::ui {
namespace {

using test::PromptRecorder;

TEST(ModalRun, EachWayOfEndingGivesItsResultCode) {
    struct Case {
        const char* how;
        std::function<void(QDialog&)> action;
        int result;
    };
    const Case cases[] = {
        {"OK", [](QDialog& d) { test::Click(*d.findChild<QWidget*>("1")); }, kIdOk},
        {"Cancel", [](QDialog& d) { test::Click(*d.findChild<QWidget*>("2")); }, kIdCancel},
        {"Escape", [](QDialog& d) { test::PressKey(d, Qt::Key_Escape); }, kIdCancel},
        {"Enter", [](QDialog& d) { test::PressKey(d, Qt::Key_Return); }, kIdOk},
        {"close box", [](QDialog& d) { d.close(); }, kIdCancel},
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
    prompts.AnswerModal([](QDialog&) {});
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(dialog.DoModal(), kIdCancel), "not ended by its answer");
    EXPECT_NONFATAL_FAILURE(prompts.AskFileName(&dialog, {}), "unanswered file dialog");
}

TEST(MessageBox, RecordedWithItsOwnerAndTheApplicationsNameAsCaption) {
    PromptRecorder prompts;
    Dialog dialog(test::SampleTemplate());
    MessageBox(dialog.Item(20), "Printer is connected.", MessageIcon::Information);
    MessageBox(nullptr, "plain");
    EXPECT_EQ(prompts.messages, (std::vector<PromptRecorder::Message>{
                                    {"Printer is connected.", MessageIcon::Information},
                                    {"plain", MessageIcon::None}}));
    EXPECT_EQ(prompts.owners.front(), &dialog);
    EXPECT_EQ(prompts.captions.front(), "talq_ui_tests");
}

// The real windows, looked at while they run and then closed.
template <typename Window>
void InspectModal(std::function<void(Window&)> inspect) {
    QTimer::singleShot(0, [inspect] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        inspect(*window);
        window->reject();
    });
}

TEST(QtPrompter, ShowsAnOwnedBoxWithOkAndAFileDialogOfQtsOwn) {
    QWidget owner;
    owner.show();
    InspectModal<QMessageBox>([&owner](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "talq_ui_tests");
        EXPECT_EQ(box.text(), "Port error! Check printer's port, please.");
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box.parentWidget(), &owner);
    });
    MessageBox(&owner, "Port error! Check printer's port, please.", MessageIcon::Exclamation);

    InspectModal<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog.windowTitle(), "Load saved status");
        EXPECT_EQ(dialog.nameFilters(), QStringList{"Status Files (*.sts)"});
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    });
    FileRequest request;
    request.title = "Load saved status";
    request.initialName = "*.sts";
    request.filter = "Status Files (*.sts)|*.sts|";
    request.mustExist = true;
    EXPECT_EQ(AskFileName(&owner, request), std::nullopt);
}

}  // namespace
}  // namespace talq::ui
