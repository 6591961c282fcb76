// What only the Win32 connection dialog has: the About item in the real
// system menu, the icon resource in its title bar, and the end of the session.
#include "ui/win32/win32_window.h"
// After windows.h.
#include <gtest/gtest.h>

#include "app/session_end_restore.h"
#include "gui/main_dialog.h"
#include "gui/main_ids.h"
#include "gui/resources.h"
#include "platform/platform.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"

namespace talq::gui {
namespace {

TEST(ConnectionDialogWin32, TheSystemMenuOpensTheAboutBoxAndTheTitleBarShowsIcon128) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    test::PromptRecorder prompts;
    MainDialog dialog;
    dialog.Show();
    HWND window = ui::win32::HandleOf(&dialog.window());

    wchar_t item[64] = {};
    GetMenuStringW(GetSystemMenu(window, FALSE), kCommandAboutBox, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), L"&About TALQ...");
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

    prompts.AnswerModal([](ui::Dialog& about) { test::Press(about.window(), ui::kIdOk); });
    SendMessageW(window, WM_SYSCOMMAND, kCommandAboutBox, 0);
    EXPECT_EQ(prompts.modalRuns, (std::vector<std::string>{"About TALQ"}));
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST(ConnectionDialogWin32, TheQueuesGoBackWhenTheSessionEndsNotWhenItIsOnlyAsked) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(0));
    const std::string port = "serial:" + platform::DevicePathForPort("COM1");
    os.spooler.queues = {{"receipts", port}};
    test::PromptRecorder prompts;
    MainDialog dialog;
    app::SessionEndRestore onSessionEnd(dialog, dialog.queuePorts);
    dialog.Show();
    test::Press(dialog.window(), kIdCheckCommunication);
    ASSERT_TRUE(dialog.connected);
    ASSERT_EQ(os.spooler.Find("receipts")->portText, os.spooler.DiscardPort());

    // Another program cancels the log-off: the dialog goes on with the queue held.
    HWND window = ui::win32::HandleOf(&dialog.window());
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(os.spooler.Find("receipts")->portText, os.spooler.DiscardPort());
    EXPECT_TRUE(dialog.connected);

    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(os.spooler.Find("receipts")->portText, port);
}

}  // namespace
}  // namespace talq::gui
