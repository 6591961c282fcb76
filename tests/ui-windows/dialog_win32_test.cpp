// The Win32 backend on a sample template, as Windows programs under Wine: the
// controls the dialog manager made, what a user does to them, the modal run
// and the prompt seam.
// First: windows.h, without the macros that rename our functions.
#include "ui/win32/win32_window.h"
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cwctype>

#include "ui/data_exchange.h"
#include "ui/dialog.h"
#include "ui/page.h"
#include "ui/prompts.h"
#include "ui/sample_template.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"
#include "ui/win32/wide_text.h"

namespace talq::ui {
namespace {

using test::SampleTemplate;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct SampleDialog : Dialog {
    explicit SampleDialog(const DialogTemplate& dialog = SampleTemplate(), Window* owner = nullptr)
        : Dialog(dialog, owner) {
        OnClicked(10, [this] { events.push_back("A"); });
        OnClicked(11, [this] { events.push_back("B"); });
        OnSelectionChange(20, [this] { events.push_back("port"); });
        OnSelectionChange(21, [this] { events.push_back("parity"); });
    }
    bool OnInitDialog() override {
        ++initCount;
        return Dialog::OnInitDialog();
    }
    void OnSystemCommand(unsigned command) override { events.push_back(std::to_string(command)); }
    using Dialog::OnClicked;
    HWND handle() const { return win32::HandleOf(&window()); }

    std::vector<std::string> events;
    int initCount = 0;
};

TEST(Win32Dialog, TheDialogManagerBuildsEachControlOfTheTemplate) {
    SampleDialog dialog;
    EXPECT_EQ(dialog.initCount, 0);  // created hidden: initialised at the first show
    EXPECT_FALSE(dialog.window().IsVisible());
    dialog.Show();
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(dialog.window().Caption(), "Sample");
    const LONG_PTR style = GetWindowLongPtrW(dialog.handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CHILD),
              WS_POPUP | WS_CAPTION | WS_SYSMENU);

    struct Expected {
        int id;
        const wchar_t* windowClass;
        LONG_PTR typeMask;
        LONG_PTR type;
        const char* text;
    };
    const Expected table[] = {
        {1, L"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, "OK"},
        {2, L"Button", BS_TYPEMASK, BS_PUSHBUTTON, "Cancel"},
        {10, L"Button", BS_TYPEMASK | WS_GROUP, BS_AUTORADIOBUTTON | WS_GROUP, "A"},
        {11, L"Button", BS_TYPEMASK | WS_GROUP, BS_AUTORADIOBUTTON, "B"},
        {20, L"ComboBox", 3, CBS_DROPDOWNLIST, ""},
        {21, L"ComboBox", 3, CBS_DROPDOWN, ""},
        {30, L"Static", SS_TYPEMASK, SS_LEFT, "text"},
        {31, L"Button", BS_TYPEMASK | WS_DISABLED, BS_AUTOCHECKBOX | WS_DISABLED, "Check"},
    };
    for (const Expected& control : table) {
        HWND item = GetDlgItem(dialog.handle(), control.id);
        ASSERT_NE(item, nullptr) << control.id;
        EXPECT_EQ(ClassOf(item), control.windowClass) << control.id;
        EXPECT_EQ(GetWindowLongPtrW(item, GWL_STYLE) & control.typeMask, control.type)
            << control.id;
        EXPECT_EQ(dialog.window().Text(control.id), control.text) << control.id;
    }
    EXPECT_FALSE(dialog.window().Has(99));
    EXPECT_FALSE(dialog.window().IsEnabled(31));
    // Pixels come from the dialog font's own base units, not from ours.
    RECT client;
    GetClientRect(dialog.handle(), &client);
    RECT units{0, 0, 200, 125};
    MapDialogRect(dialog.handle(), &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
}

TEST(Win32Dialog, PressesChoicesAndTypingReachTheHandlersAsTheUserMadeThem) {
    SampleDialog dialog;
    dialog.Show();
    Window& window = dialog.window();
    test::Press(window, 10);
    test::Press(window, 11);
    test::Press(window, 12);
    EXPECT_EQ(RadioIndex(window, SampleTemplate(), 10), 1);  // 10 unchecked by the press of 11
    EXPECT_EQ(RadioIndex(window, SampleTemplate(), 12), 0);  // the groups are apart
    EXPECT_NONFATAL_FAILURE(test::Press(window, 31), "disabled");

    EXPECT_EQ(window.Entries(20), (std::vector<std::string>{"COM1", "COM2", "COM3"}));
    EXPECT_EQ(window.CurSel(20), -1);
    test::Choose(window, 20, 2);
    EXPECT_EQ(window.Text(20), "COM3");
    test::Choose(window, 21, 0);
    EXPECT_EQ(ListSelection(window, 21), 0);
    // Any typing forgets the choice, even of the same text.
    test::Type(window, 21, "None");
    EXPECT_EQ(window.CurSel(21), -1);
    EXPECT_EQ(ListSelection(window, 21), -1);
    EXPECT_EQ(window.Text(21), "None");
    window.SetCurSel(21, 1);
    EXPECT_EQ(ListSelection(window, 21), 1);
    window.SetCurSel(21, 7);
    EXPECT_EQ(window.Text(21), "");

    // Changes made by code run no handler.
    window.SetChecked(10, true);
    window.SetCurSel(20, 0);
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"A", "B", "port", "parity"}));

    dialog.dialogWindow().AddSystemMenuItem(16, "&About TALQ...");
    SendMessageW(dialog.handle(), WM_SYSCOMMAND, 16, 0);
    EXPECT_EQ(dialog.events.back(), "16");
}

TEST(Win32Dialog, TheProgressBarTakesItsPositionAtOnce) {
    const DialogTemplate bar{901,
                             "Bar",
                             100,
                             40,
                             "MS Sans Serif",
                             8,
                             {{40, ControlKind::ProgressBar, "", {5, 5, 90, 10}, kSmooth}}};
    Dialog dialog(bar);
    dialog.Show();
    HWND control = GetDlgItem(win32::HandleOf(&dialog.window()), 40);
    for (const int position : {0, 30, 29, 100}) {
        dialog.window().SetProgress(40, 0, 100, position);
        EXPECT_EQ(SendMessageW(control, PBM_GETPOS, 0, 0), position);
        EXPECT_EQ(SendMessageW(control, PBM_GETRANGE, FALSE, 0), 100);
    }
    EXPECT_TRUE(GetWindowLongPtrW(control, GWL_STYLE) & PBS_SMOOTH);
}

// A tab control with a page whose button has the id of the tab control itself.
const DialogTemplate& TabbedTemplate() {
    static const DialogTemplate tabbed{
        902,
        "Tabs",
        200,
        120,
        "MS Sans Serif",
        8,
        {{1010, ControlKind::TabControl, "", {5, 5, 190, 90}, kTabStop},
         {kIdCancel, ControlKind::PushButton, "Close", {145, 100, 50, 14}, kTabStop}}};
    return tabbed;
}
const DialogTemplate& PageTemplate() {
    static const DialogTemplate page{
        903,
        "",
        180,
        70,
        "MS Sans Serif",
        8,
        {{1010, ControlKind::PushButton, "Next >", {10, 10, 50, 14}, kTabStop}},
        kChild};
    return page;
}

struct TabbedDialog : Dialog {
    struct ThePage : Page {
        explicit ThePage(std::vector<std::string>& log) : log_(log) {}
        void Build(Window& parent) {
            CreatePage(PageTemplate(), parent);
            OnClicked(1010, [this] { log_.push_back("page 1010"); });
        }
        std::vector<std::string>& log_;
    };
    TabbedDialog() : Dialog(TabbedTemplate()), page(events) {
        OnSelectionChange(1010, [this] {
            events.push_back("tab " + std::to_string(window().TabSelection(1010)));
        });
        OnClicked(1010, [this] { events.push_back("dialog 1010"); });
        window().InsertTab(1010, 0, "Printer Setting");
        window().InsertTab(1010, 1, "Memory Switch");
        page.Build(window());
        page.window().Place(window().TabDisplayArea(1010));
        page.window().StackAfter(1010);
    }
    HWND handle() const { return win32::HandleOf(&window()); }
    std::vector<std::string> events;
    ThePage page;
};

TEST(Win32Dialog, PagesSitInTheTabAreaAndKeepTheirCommands) {
    TabbedDialog dialog;
    dialog.Show();
    dialog.page.window().Show(true);
    HWND page = win32::HandleOf(&dialog.page.window());
    EXPECT_EQ(GetParent(page), dialog.handle());
    EXPECT_TRUE(GetWindowLongPtrW(page, GWL_STYLE) & WS_CHILD);
    RECT placed;
    GetWindowRect(page, &placed);
    MapWindowPoints(HWND_DESKTOP, dialog.handle(), reinterpret_cast<POINT*>(&placed), 2);
    const PixelRect area = dialog.window().TabDisplayArea(1010);
    EXPECT_EQ((PixelRect{placed.left, placed.top, placed.right - placed.left,
                         placed.bottom - placed.top}),
              area);
    EXPECT_GT(area.y, 5);  // below the tabs

    test::ChooseTab(dialog.window(), 1010, 1);
    test::Press(dialog.page.window(), 1010);
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"tab 1", "page 1010"}));
}

TEST(Win32Dialog, AModalRunDisablesItsOwnerUntilTheAnswerEndsIt) {
    SampleDialog owner;
    owner.Show();
    SampleDialog dialog(SampleTemplate(), &owner.window());
    test::PromptRecorder prompts;
    bool ownerDisabled = false;
    prompts.AnswerModal([&](Dialog& running) {
        ownerDisabled = !IsWindowEnabled(owner.handle());
        MessageBox(&running.window(), "Printer is connected.", MessageIcon::Information);
        test::Press(running.window(), kIdOk);
    });
    prompts.AnswerModal(
        [](Dialog& running) { test::PressKey(running.window(), test::Key::Escape); });
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
    EXPECT_FALSE(dialog.window().IsVisible());
    EXPECT_EQ(dialog.DoModal(), kIdCancel);
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(prompts.modalRuns, (std::vector<std::string>{"Sample", "Sample"}));
    EXPECT_EQ(prompts.messages, (std::vector<test::PromptRecorder::Message>{
                                    {"Printer is connected.", MessageIcon::Information}}));
    EXPECT_EQ(prompts.captions.front(), "talq_win32_ui_tests");
}

// The program's resources are linked into this test program as into talq-manager.exe.
TEST(Win32Resources, IconStringVersionAndManifestAreThere) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    for (const int size : {16, 32, 48, 256}) {
        HANDLE icon = LoadImageW(self, MAKEINTRESOURCEW(128), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) DestroyIcon(static_cast<HICON>(icon));
    }
    wchar_t text[64] = {};
    LoadStringW(self, 101, text, 64);
    EXPECT_EQ(std::wstring(text), L"&About TALQ...");

    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::vector<char> version(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(version.size()), version.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS,
              static_cast<DWORD>(TALQ_VERSION_MAJOR << 16 | TALQ_VERSION_MINOR));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(TALQ_VERSION_PATCH << 16));

    // The manifest asks for the common controls with visual styles: version 6, from the
    // side-by-side store, is the one loaded.
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    GetModuleFileNameW(controls, path, MAX_PATH);
    std::wstring loaded = path;
    for (wchar_t& c : loaded) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(loaded.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos);
}

TEST(Win32Prompts, FileNamesEndAtEitherSlash) {
    EXPECT_EQ(FileNameOf("C:\\users\\\xc5\x81ukasz\\a.sts"), "a.sts");
    EXPECT_EQ(FileNameOf("C:/x/b.sts"), "b.sts");
    EXPECT_EQ(FileNameOf("c.sts"), "c.sts");
}

// Answers the next file dialog of this thread from its own loop: notes the folder it opened
// in, then types `name` into it and presses OK, or presses Cancel when `name` is empty.
struct FileDialogAnswer {
    std::wstring name;
    std::wstring openedIn;
    int ticks = 0;
};
FileDialogAnswer* answer = nullptr;

// The visible dialog among a thread's windows (a named function: the system calls it with its
// own calling convention, which a lambda lacks on 32-bit Windows).
BOOL CALLBACK NoteVisibleDialog(HWND window, LPARAM result) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (!IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), NoteVisibleDialog, reinterpret_cast<LPARAM>(&found));
    if (found == nullptr && ++answer->ticks < 200) return;
    KillTimer(nullptr, timer);
    if (found == nullptr) return;
    wchar_t folder[MAX_PATH] = {};
    SendMessageW(found, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    answer->openedIn = folder;
    if (answer->name.empty()) {
        PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SendMessageW(found, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(answer->name.c_str()));
    SendMessageW(found, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(answer->name.c_str()));
    PostMessageW(found, WM_COMMAND, IDOK, 0);
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

TEST(Win32Prompts, FileDialogsStartInDocumentsThenWhereTheUserWasAndAddTheDefaultExtension) {
    PWSTR known = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &known)));
    const std::wstring documents = known;
    CoTaskMemFree(known);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring shop =
        std::wstring(temp) + L"talq-shop-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(shop.c_str(), nullptr));
    Dialog owner(test::SampleTemplate());
    owner.Show();

    FileDialogAnswer typed;
    typed.name = shop + L"\\counter";  // without an extension
    answer = &typed;
    SetTimer(nullptr, 0, 50, AnswerFileDialog);
    const auto saved = AskFileName(&owner.window(), test::SaveStatusRequest());
    EXPECT_EQ(saved, win32::Narrow(shop + L"\\counter.sts"));
    EXPECT_EQ(WithoutTrailingSlash(typed.openedIn), WithoutTrailingSlash(documents));

    FileDialogAnswer cancelled;
    answer = &cancelled;
    SetTimer(nullptr, 0, 50, AnswerFileDialog);
    EXPECT_EQ(AskFileName(&owner.window(), test::LoadStatusRequest()), std::nullopt);
    EXPECT_EQ(WithoutTrailingSlash(cancelled.openedIn), shop);
    answer = nullptr;
    RemoveDirectoryW(shop.c_str());
}

}  // namespace
}  // namespace talq::ui
