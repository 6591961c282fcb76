#include <cstdio>
#include <fstream>

#include "gui/status_dialog_fixture.h"
#include "protocol/commands.h"
#include "status/factory_values.h"
#include "status/status_exchanges.h"
#include "status/status_file.h"

namespace talq::test {
namespace {

using Message = PromptRecorder::Message;
using status::MessageIcon;

constexpr int kGet = StatusDialog::kGetStatusId, kSet = StatusDialog::kSetStatusId,
              kSave = StatusDialog::kSaveStatusId, kLoad = StatusDialog::kLoadStatusId,
              kInit = StatusDialog::kInitializeStatusId, kExit = StatusDialog::kExitId;
const std::vector<int> kAllButtons = {kGet, kSet, kSave, kLoad, kInit, kExit};

const Message kGotStatus{"Success to get status of printer.", MessageIcon::Information};
const Message kSetDone{"Success to set status of printer", MessageIcon::Information};
const Message kCannotConnect{"Can't connect printer. Please restart printer.",
                             MessageIcon::Information};

std::string WriteStatusFile(const status::PrinterStatus& record, const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    const auto image = status::EncodeStatusImage(record);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<long>(image.size()));
    return path;
}

TEST_F(StatusDialogTest, ButtonsAndPagesFromOpeningToAFailedIdentification) {
    for (const int failingButton : {kGet, kSet}) {
        SCOPED_TRACE(failingButton);
        prompts.messages.clear();
        Open(0);

        EXPECT_EQ(EnabledButtons(), (std::vector<int>{kGet, kLoad, kInit, kExit}));
        EXPECT_TRUE(Switches().IsVisible());
        EXPECT_FALSE(Settings().IsVisible());
        EXPECT_EQ(PinsShown(), "-------- ..");
        EXPECT_EQ(SwitchNumberShown(), "1");
        EXPECT_EQ(ListsShown(), "- - - - -");

        Press(kInit);
        EXPECT_EQ(EnabledButtons(), kAllButtons);
        EXPECT_EQ(PinsShown(), "---0---- .>");
        EXPECT_EQ(ListsShown(), "- - - - 0*");

        std::vector<int> duringRun;
        prompts.onMessage = [&](const Message&) { duringRun = EnabledButtons(); };
        Press(kGet);
        EXPECT_EQ(duringRun, std::vector<int>{kExit});
        EXPECT_EQ(prompts.messages, std::vector<Message>{kGotStatus});
        EXPECT_EQ(EnabledButtons(), kAllButtons);
        EXPECT_EQ(ListsShown(), "3 1 0 0 0*");  // 19200, 8 bits, none, DTR/DSR; serial lists shut
        EXPECT_EQ(Settings().Text(PrinterSettingPage::kModelNameId), "KTV-520plus");
        EXPECT_EQ(Settings().Text(PrinterSettingPage::kFirmwareVersionId), "Ver A01");

        Next();
        Next();
        EXPECT_EQ(SwitchNumberShown(), "8");
        EXPECT_EQ(PinsShown(), "00000000 <>");

        status::PrinterStatus loaded{};
        loaded.switches[status::kSlotSwitch8].pins[3] = 1;
        prompts.AnswerFile(WriteStatusFile(loaded, "states.sts"));
        Press(kLoad);
        EXPECT_EQ(EnabledButtons(), kAllButtons);
        EXPECT_EQ(PinsShown(), "00100000 <>");

        Printer().SetModelByte(0x99);
        prompts.onMessage = nullptr;
        prompts.messages.clear();
        Press(failingButton);
        EXPECT_EQ(prompts.messages, std::vector<Message>{kCannotConnect});
        EXPECT_EQ(EnabledButtons(), std::vector<int>{kExit});
        EXPECT_EQ(PinsShown(), "-------- ..");
        EXPECT_EQ(SwitchPage().page, 1);
        EXPECT_EQ(SwitchNumberShown(), "8");  // the last switch shown stays
        EXPECT_EQ(ListsShown(), "- - - - -");
        EXPECT_EQ(Settings().Text(PrinterSettingPage::kModelNameId), "");
        EXPECT_EQ(Settings().Text(PrinterSettingPage::kFirmwareVersionId), "");
        EXPECT_EQ(dialog->status, loaded);

        Press(kExit);
        EXPECT_FALSE(dialog->window().IsVisible());
        dialog.reset();
        port.Close();
        os.RemoveDevice("COM1");
    }
}

TEST_F(StatusDialogTest, TheKeyboardWalksThroughThePageAndKeepsTheFocusWhereverButtonsGoOff) {
    Open(0);
    ui::Window& window = dialog->window();
    Press(kInit);  // pin 4 and Next of the first switch take the keyboard now
    Focus(window, StatusDialog::kTabsId);
    // The page comes right after its tab: Tab, the arrows inside a pin, Tab on.
    PressKey(window, Key::Tab);
    EXPECT_EQ(FocusedControl(Switches()), MemorySwitchPage::LeftButtonId(4));
    PressKey(window, Key::Down);
    EXPECT_EQ(FocusedControl(Switches()), MemorySwitchPage::RightButtonId(4));
    EXPECT_EQ(dialog->status.switches[status::kSlotSwitch1].pins[4], 1);
    PressKey(window, Key::Tab);
    EXPECT_EQ(FocusedControl(Switches()), MemorySwitchPage::kNextId);
    PressKey(window, Key::Tab);
    EXPECT_EQ(FocusedControl(window), kGet);

    // Next goes off on the last switch: the focus goes on to the next button.
    for (int page = 1; page < 6; ++page) Next();
    EXPECT_EQ(SwitchNumberShown(), "11");
    EXPECT_EQ(FocusedControl(window), kGet);
    // Every button is off while Get Status runs; the focus comes back when it is done.
    PressKey(window, Key::Enter);
    EXPECT_EQ(prompts.messages, std::vector<Message>{kGotStatus});
    EXPECT_EQ(FocusedControl(window), kGet);

    // After a failed identification the focus is on Exit, the one button left.
    Printer().SetModelByte(0x99);
    PressKey(window, Key::Enter);
    EXPECT_EQ(EnabledButtons(), std::vector<int>{kExit});
    EXPECT_EQ(FocusedControl(window), kExit);
    PressKey(window, Key::Tab);
    EXPECT_EQ(FocusedControl(window), StatusDialog::kTabsId);
    PressKey(window, Key::Escape);
    EXPECT_FALSE(window.IsVisible());
}

TEST_F(StatusDialogTest, AGetStatusBrokenOffByAGarbledSwitchReplyChangesNothingButShowsTheTexts) {
    Open(0);
    Printer().SetReplyCut(5);  // every reply: the texts still name the maker's model
    std::string modelNameDuringMessage;
    prompts.onMessage = [&](const Message&) {
        modelNameDuringMessage = Settings().Text(PrinterSettingPage::kModelNameId);
    };
    Press(kGet);

    char expected[256];
    std::snprintf(expected, sizeof expected, status::kSwitchReplyFailedMessage, 2);
    EXPECT_EQ(prompts.messages, (std::vector<Message>{{expected, MessageIcon::Exclamation}}));
    EXPECT_EQ(dialog->status, status::PrinterStatus{});
    EXPECT_EQ(EnabledButtons(), (std::vector<int>{kGet, kLoad, kInit, kExit}));
    EXPECT_EQ(PinsShown(), "-------- ..");
    EXPECT_EQ(ListsShown(), "- - - - -");
    EXPECT_EQ(modelNameDuringMessage.substr(0, 4), "KTV-");
    EXPECT_EQ(Settings().Text(PrinterSettingPage::kModelNameId), modelNameDuringMessage);
    EXPECT_EQ(dialog->progress.GetPos(), 0);
}

TEST_F(StatusDialogTest, EditsOnThePagesReachThePrinterAndComeBackWithTheNextGetStatus) {
    struct Case {
        int model;
        const char* listsRead;   // after the first Get Status
        const char* listsAgain;  // after Set Status and a Get Status in a fresh dialog
        const char* page1Again;
        const char* page2Again;
    };
    for (const Case& c : {
             // The serial lists follow switch 9 and are edited through it.
             Case{1, "1* 1* 0* 0* 0*", "3* 1* 0* 0* 32*", "---10--- .>", "10------ <>"},
             // They show the printer's own settings, shut, and are never sent.
             Case{0, "3 1 0 0 0*", "3 1 0 0 32*", "---1---- .>", "11------ <>"},
         }) {
        SCOPED_TRACE(c.model);
        prompts.messages.clear();
        Open(c.model);
        Press(kGet);
        EXPECT_EQ(ListsShown(), c.listsRead);

        ClickPin(4, 1);  // "[PIN 4] ...": "Enable"
        Next();
        ClickPin(1, 1);  // "B Font (9x24)"
        SelectTab(1);
        EXPECT_TRUE(Settings().IsVisible());
        EXPECT_FALSE(Switches().IsVisible());
        Choose(Settings(), PrinterSettingPage::kCodePageId, 32);  // "User Codepage(Page 43)"
        if (c.model == 1) Choose(Settings(), PrinterSettingPage::kBaudRateId, 3);  // "57600"
        const std::string switch9 = Printer().SwitchText(9);
        Press(kSet);
        EXPECT_EQ(prompts.messages, (std::vector<Message>{kGotStatus, kSetDone}));

        EXPECT_TRUE(Printer().Pin(1, 4));
        EXPECT_TRUE(Printer().Pin(2, 1));
        EXPECT_EQ(Printer().SwitchText(2).substr(0, 6), "000001");  // pins 8..3: code page 32
        if (c.model == 1) {
            EXPECT_EQ(Printer().SwitchText(9).substr(0, 3), "011");  // pins 8, 7, 6: 57600
        } else {
            EXPECT_EQ(Printer().SwitchText(9), switch9);
            EXPECT_EQ(Printer().Setting(protocol::kItemBaudRate), "19200");
        }

        Reopen();
        Press(kGet);
        EXPECT_EQ(ListsShown(), c.listsAgain);
        EXPECT_EQ(PinsShown(), c.page1Again);
        Next();
        EXPECT_EQ(PinsShown(), c.page2Again);

        dialog.reset();
        port.Close();
        os.RemoveDevice("COM1");
    }
}

TEST_F(StatusDialogTest, NoListEncodesIntoTheRecordUnlessTheUserChoosesFromIt) {
    Open(0);
    Printer().SetSwitchText(9, "10110101");
    Printer().SetSwitchText(2, "11111110");  // code page pins decode to 63: no list entry
    EXPECT_EQ(dialog->status, status::PrinterStatus{});

    Press(kGet);
    for (int pin = 1; pin <= 8; ++pin) {
        EXPECT_EQ(dialog->status.switches[status::kSlotSwitch9].pins[pin], Printer().Pin(9, pin));
        EXPECT_EQ(dialog->status.switches[status::kSlotSwitch2].pins[pin], Printer().Pin(2, pin));
    }
    EXPECT_EQ(ListsShown(), "3 1 0 0 -*");

    status::PrinterStatus file{};
    file.switches[status::kSlotSwitch9].pins = {5, 1, 1, 0, 1, 0, 1, 1, 0};
    file.switches[status::kSlotSwitch2].pins = {0, 1, 0, 1, 1, 1, 0, 1, 1};  // code page 40
    prompts.AnswerFile(WriteStatusFile(file, "encodes.sts"));
    Press(kLoad);
    EXPECT_EQ(dialog->status, file);
    EXPECT_EQ(ListsShown(), "3 1 0 0 -*");

    Press(kInit);
    status::ApplyFactoryValues(file, 0, nullptr);
    EXPECT_EQ(dialog->status, file);
}

TEST_F(StatusDialogTest, PagesWalkTheSixSwitchesWithTheModelsCaptionsAndStoreClicksAtOnce) {
    status::PrinterStatus file{};
    file.switches[status::kSlotSwitch11].pins[1] = 1;  // "Disable" on models 0 and 2
    const std::string path = WriteStatusFile(file, "pages.sts");
    const std::vector<std::string> numbers = {"1", "2", "8", "9", "10", "11"};
    struct Case {
        int model;
        std::vector<std::string> pages;
    };
    for (const Case& c : {
             Case{0,
                  {"---0---- .>", "n0------ <>", "00000000 <>", "00000000 <>", "00000000 <>",
                   "10000000 <."}},
             Case{1,
                  {"---00--- .>", "n0------ <>", "-------- <>", "-------- <>", "-------- <>",
                   "-------- <."}},
         }) {
        SCOPED_TRACE(c.model);
        Open(c.model);
        prompts.AnswerFile(path);
        Press(kLoad);
        // A value other than 0 and 1, which no file or printer brings in: neither button.
        dialog->status.switches[status::kSlotSwitch2].pins[1] = 2;
        SwitchPage().ShowPage(1, true);
        std::vector<std::string> shown, numbersShown;
        for (int page = 1; page <= 6; ++page) {
            shown.push_back(PinsShown());
            numbersShown.push_back(SwitchNumberShown());
            if (page < 6) Next();
        }
        EXPECT_EQ(shown, c.pages);
        EXPECT_EQ(numbersShown, numbers);
        if (c.model == 1) break;

        // Switch 11 pin 1 runs the other way: its left button reads "Enable" and stores 0.
        EXPECT_EQ(Switches().Text(MemorySwitchPage::LeftButtonId(1)), "Enable");
        EXPECT_EQ(Switches().Text(MemorySwitchPage::RightButtonId(1)), "Disable");
        ClickPin(1, 0);
        EXPECT_EQ(dialog->status.switches[status::kSlotSwitch11].pins[1], 0);

        for (int i = 0; i < 4; ++i) Back();
        EXPECT_EQ(dialog->status.switches[status::kSlotSwitch2].pins[1], 2);
        ClickPin(1, 1);
        EXPECT_EQ(dialog->status.switches[status::kSlotSwitch2].pins[1], 1);
        Next();
        Back();
        EXPECT_EQ(PinsShown(), "10------ <>");
        dialog.reset();
        port.Close();
        os.RemoveDevice("COM1");
    }
}

}  // namespace
}  // namespace talq::test
