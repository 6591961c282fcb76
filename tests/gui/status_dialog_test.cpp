#include <QImage>
#include <QTabWidget>
#include <cstdio>
#include <fstream>

#include "status/factory_values.h"
#include "status/status_exchanges.h"
#include "status/status_file.h"
#include "gui/status_dialog_fixture.h"

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
        EXPECT_TRUE(SwitchPage().isVisible());
        EXPECT_FALSE(SettingPage().isVisible());
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
        EXPECT_EQ(Text(SettingPage().Item(PrinterSettingPage::kModelNameId)), "KTV-520plus");
        EXPECT_EQ(Text(SettingPage().Item(PrinterSettingPage::kFirmwareVersionId)), "Ver A01");

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
        EXPECT_EQ(Text(SettingPage().Item(PrinterSettingPage::kModelNameId)), "");
        EXPECT_EQ(Text(SettingPage().Item(PrinterSettingPage::kFirmwareVersionId)), "");
        EXPECT_EQ(dialog->status, loaded);

        Press(kExit);
        EXPECT_EQ(dialog->result(), 2);
        dialog.reset();
        port.Close();
        os.RemoveDevice("COM1");
    }
}

TEST_F(StatusDialogTest, AGetStatusBrokenOffByAGarbledSwitchReplyChangesNothingButShowsTheTexts) {
    Open(0);
    Printer().SetReplyCut(5);  // every reply: the texts still name the maker's model
    std::string modelNameDuringMessage;
    prompts.onMessage = [&](const Message&) {
        modelNameDuringMessage = Text(SettingPage().Item(PrinterSettingPage::kModelNameId));
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
    EXPECT_EQ(Text(SettingPage().Item(PrinterSettingPage::kModelNameId)), modelNameDuringMessage);
    EXPECT_EQ(dialog->progress.GetPos(), 0);
}

}  // namespace
}  // namespace talq::test
