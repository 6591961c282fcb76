// What only the Win32 connection dialog has: the About item in the real
// system menu, and the icon resource in its title bar.
#include "ui/win32/win32_window.h"
// After windows.h.
#include <gtest/gtest.h>

#include "gui/main_dialog.h"
#include "gui/resources.h"
#include "support/scoped_platform.h"
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

}  // namespace
}  // namespace talq::gui
