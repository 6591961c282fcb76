// Qt's own message box and file dialog, and the close box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "support/scoped_env.h"
#include "support/temp_dir.h"
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
    EXPECT_EQ(AskFileName(&owner.window(), test::LoadStatusRequest()), std::nullopt);
}

TEST(QtPrompter, FileDialogsStartInDocumentsThenWhereTheUserWasAndAddTheDefaultExtension) {
    test::TempDir home("talq-home");
    const QString documents = QString::fromStdString((home.path() / "Documents").string());
    const QString chosen = QString::fromStdString((home.path() / "shop").string());
    ASSERT_TRUE(QDir().mkpath(documents) && QDir().mkpath(chosen));
    test::ScopedEnv env("HOME", home.path().string());
    env.Unset("XDG_CONFIG_HOME");
    Dialog owner(test::SampleTemplate());
    owner.Show();

    std::string startedIn;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        startedIn = dialog->directory().absolutePath().toStdString();
        // Typed without an extension, and Enter.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(chosen + "/counter");
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(AskFileName(&owner.window(), test::SaveStatusRequest()),
              (chosen + "/counter.sts").toStdString());
    EXPECT_EQ(startedIn, documents.toStdString());

    InspectModal<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath().toStdString(), chosen.toStdString());
    });
    EXPECT_EQ(AskFileName(&owner.window(), test::LoadStatusRequest()), std::nullopt);
}

TEST(QtModalRun, TheCloseBoxEndsWithCancel) {
    test::PromptRecorder prompts;
    Dialog dialog(test::SampleTemplate());
    prompts.AnswerModal([](Dialog& d) { qt::TopWidget(d.window())->close(); });
    EXPECT_EQ(dialog.DoModal(), kIdCancel);
}

}  // namespace
}  // namespace talq::ui
