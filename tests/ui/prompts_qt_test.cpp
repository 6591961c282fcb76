// Qt's own message box and file dialog, and the close box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include "ui/dialog.h"
#include "ui/prompts.h"
#include "ui/qt/qt_window.h"
#include "ui/sample_template.h"
#include "ui/support/prompt_recorder.h"

namespace talq::ui {
namespace {

// The real windows, looked at while they run and then closed.
template <typename Widget>
void InspectModal(std::function<void(Widget&)> inspect) {
    QTimer::singleShot(0, [inspect] {
        auto* window = qobject_cast<Widget*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        inspect(*window);
        window->reject();
    });
}

TEST(QtPrompter, ShowsAnOwnedBoxWithOkAndAFileDialogOfQtsOwn) {
    Dialog owner(test::SampleTemplate());
    owner.Show();
    QWidget* ownerWidget = qt::TopWidget(owner.window());
    InspectModal<QMessageBox>([ownerWidget](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "talq_ui_tests");
        EXPECT_EQ(box.text(), "Port error! Check printer's port, please.");
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box.parentWidget(), ownerWidget);
    });
    MessageBox(&owner.window(), "Port error! Check printer's port, please.",
               MessageIcon::Exclamation);

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
    EXPECT_EQ(AskFileName(&owner.window(), request), std::nullopt);
}

TEST(QtModalRun, TheCloseBoxEndsWithCancel) {
    test::PromptRecorder prompts;
    Dialog dialog(test::SampleTemplate());
    prompts.AnswerModal([](Dialog& d) { qt::TopWidget(d.window())->close(); });
    EXPECT_EQ(dialog.DoModal(), kIdCancel);
}

}  // namespace
}  // namespace talq::ui
