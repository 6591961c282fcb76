// The connection dialog driven as a user drives it: list rules, every outcome
// of Check Communication against the simulated printer in virtual time,
// dropping the connection, Self Test, and one real-time check over a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/dialog_state.h"
#include "gui/resources.h"
#include "support/golden.h"
#include "support/scoped_platform.h"
#include "support/served_printer.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"

namespace talq::gui {
namespace {

using test::Buttons;
using test::CheckedInterface;
using test::ListState;
using test::StateOf;
using Message = test::PromptRecorder::Message;
using ui::MessageIcon;

// The virtual platform, which also lets a test look at the dialog during pauses.
struct WatchedPlatform : test::VirtualPlatform {
    void Pause(int ms) override {
        if (onPause) onPause(ms);
        VirtualPlatform::Pause(ms);
    }
    std::function<void(int)> onPause;
};

struct DialogOnVirtualPlatform {
    DialogOnVirtualPlatform() { dialog.Show(); }

    std::shared_ptr<test::SimulatedPrinterDevice> AddPrinter(int printerModel) {
        auto device = std::make_shared<test::SimulatedPrinterDevice>(printerModel);
        os.AddDevice("COM1", device);
        return device;
    }
    ListState List(int id) const { return StateOf(dialog.window(), id); }
    std::string Selected(int id) const { return dialog.window().Text(id); }
    void Click(int id) { test::Press(dialog.window(), id); }
    void Choose(int id, int index) { test::Choose(dialog.window(), id, index); }
    void Connect() {
        Click(kIdCheckCommunication);
        ASSERT_TRUE(dialog.connected);
        prompts.messages.clear();
    }

    WatchedPlatform os;
    test::ScopedPlatform scoped{os};
    test::PromptRecorder prompts;
    MainDialog dialog;
};

struct ConnectionDialog : ::testing::Test, DialogOnVirtualPlatform {};

TEST_F(ConnectionDialog, StartsOnSerialCom1At19200WithTheToolsOff) {
    EXPECT_EQ(dialog.window().Caption(), "Talquist Manager(V3.0.6a)");
    EXPECT_EQ(CheckedInterface(dialog), "SERIAL");
    EXPECT_EQ(List(kIdModelList),
              (ListState{{"KTV-520plus", "KTV-540/542", "KTV-520plusF"}, "KTV-520plus", true}));
    EXPECT_EQ(List(kIdPortList), (ListState{test::kComPorts, "COM1", true}));
    EXPECT_EQ(List(kIdBaudList), (ListState{test::kBaudRates, "19200", true}));
    EXPECT_EQ(List(kIdDataBitsList), (ListState{{"8", "7"}, "8", true}));
    EXPECT_EQ(List(kIdParityList), (ListState{{"None", "Odd", "Even"}, "None", true}));
    EXPECT_EQ(List(kIdStopBitsList), (ListState{{"1", "1.5", "2"}, "1", true}));
    EXPECT_EQ(List(kIdFlowControlList), (ListState{{"Hardware", "Xon/Xoff"}, "Hardware", true}));
    EXPECT_EQ(Buttons(dialog), "100");
    EXPECT_FALSE(dialog.connected);
    EXPECT_TRUE(dialog.window().IsEnabled(kIdParallel) && dialog.window().IsEnabled(kIdUsb));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConnectionDialog, ListsFollowTheModelAndTheInterface) {
    Choose(kIdDataBitsList, 1);
    Choose(kIdModelList, 1);
    EXPECT_EQ(List(kIdBaudList), (ListState{test::kBaudRates540, "115200", true}));
    Choose(kIdModelList, 0);
    EXPECT_EQ(List(kIdBaudList), (ListState{test::kBaudRates, "19200", true}));
    EXPECT_EQ(Selected(kIdDataBitsList), "7");  // the other settings stay

    Click(kIdParallel);
    EXPECT_EQ(List(kIdPortList), (ListState{{"LPT1", "LPT2", "LPT3"}, "LPT1", true}));
    for (int id :
         {kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList, kIdFlowControlList}) {
        EXPECT_FALSE(dialog.window().IsEnabled(id)) << id;
    }
    Choose(kIdModelList, 1);  // refilled, still disabled
    EXPECT_EQ(List(kIdBaudList), (ListState{test::kBaudRates540, "115200", false}));

    // "KTV-520plusF" has a serial interface only.
    Choose(kIdModelList, 2);
    EXPECT_EQ(CheckedInterface(dialog), "SERIAL");
    EXPECT_EQ(List(kIdPortList), (ListState{test::kComPorts, "COM1", true}));
    EXPECT_EQ(List(kIdBaudList), (ListState{test::kBaudRates, "19200", true}));
    EXPECT_FALSE(dialog.window().IsEnabled(kIdParallel) || dialog.window().IsEnabled(kIdUsb));
    Choose(kIdModelList, 0);
    EXPECT_TRUE(dialog.window().IsEnabled(kIdParallel) && dialog.window().IsEnabled(kIdUsb));

    // SERIAL again, even when already chosen, brings the model's default rate back.
    Choose(kIdBaudList, 6);
    Click(kIdSerial);
    EXPECT_EQ(Selected(kIdBaudList), "19200");

    // Changes made by code run no handler.
    dialog.window().SetCurSel(kIdModelList, 1);
    dialog.window().SetChecked(kIdParallel, true);
    EXPECT_EQ(List(kIdBaudList), (ListState{test::kBaudRates, "19200", true}));
    EXPECT_EQ(Selected(kIdPortList), "COM1");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(ConnectionDialogCheck, EveryOutcomeWithItsMessageAndButtons) {
    struct Case {
        const char* what;
        std::function<void(DialogOnVirtualPlatform&)> arrange;
        Message message;
        std::string buttons;
    };
    const Case cases[] = {
        {"no port chosen",
         [](DialogOnVirtualPlatform& t) { t.dialog.window().SetCurSel(kIdPortList, -1); },
         {"Port Configuration Set Error!", MessageIcon::None},
         "100"},
        {"nothing on the port",
         [](DialogOnVirtualPlatform&) {},
         {"Can't open port and Printer is disconnected", MessageIcon::Exclamation},
         "100"},
        {"reset not written whole",
         [](DialogOnVirtualPlatform& t) { t.AddPrinter(0), t.os.SetWriteLimit("COM1", 1); },
         {"Port error! Check printer's port, please.", MessageIcon::Exclamation},
         "100"},
        {"another model",
         [](DialogOnVirtualPlatform& t) { t.AddPrinter(1); },
         {"The connected printer has different device ID.", MessageIcon::Information},
         "100"},
        {"another maker",
         [](DialogOnVirtualPlatform& t) { t.AddPrinter(0)->Printer().SetMakerName("kestrum"); },
         {"This printer don't match our company name.", MessageIcon::Exclamation},
         "100"},
        {"our printer",
         [](DialogOnVirtualPlatform& t) { t.AddPrinter(0); },
         {"Printer is connected.", MessageIcon::Information},
         "011"},
    };
    for (const auto& c : cases) {
        DialogOnVirtualPlatform t;
        c.arrange(t);
        std::string buttonsWhileShown;
        t.prompts.onMessage = [&](const Message&) { buttonsWhileShown = Buttons(t.dialog); };
        t.Click(kIdCheckCommunication);
        EXPECT_EQ(t.prompts.messages, std::vector<Message>{c.message}) << c.what;
        EXPECT_EQ(t.prompts.owners.front(), &t.dialog.window()) << c.what;
        EXPECT_EQ(buttonsWhileShown, "100") << c.what;
        EXPECT_EQ(Buttons(t.dialog), c.buttons) << c.what;
        EXPECT_EQ(t.dialog.connected, c.buttons == "011") << c.what;
        EXPECT_EQ(t.os.IsOpen("COM1"), c.buttons == "011") << c.what;
    }
}

TEST_F(ConnectionDialog, ConnectsWithTheChosenSettingsAndIgnoresASecondPress) {
    // A printer set to 9600, which only a host at 9600 reaches.
    os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(0, 9600));
    Choose(kIdBaudList, 2);
    Choose(kIdStopBitsList, 2);
    Choose(kIdFlowControlList, 1);
    // Typed parity text is no selection: the start value "None" holds.
    test::Type(dialog.window(), kIdParityList, "Mark");
    Connect();
    const auto line = os.LineSettingsOf("COM1");
    EXPECT_EQ(
        std::tuple(line.baudRate, line.dataBits, line.stopBits, line.parity, line.flowControl),
        std::tuple(9600, 8, 2, 0, 1));
    const auto timeouts = os.TimeoutsOf("COM1");
    EXPECT_EQ(std::tuple(timeouts.readIntervalMs, timeouts.readTotalMultiplierMs,
                         timeouts.readTotalConstantMs, timeouts.writeTotalMultiplierMs,
                         timeouts.writeTotalConstantMs),
              std::tuple(10u, 10u, 10u, 0u, 0u));

    os.ClearTranscript();
    dialog.OnCheckCommunication();  // the button is off; a press would do nothing either
    EXPECT_TRUE(os.Transcript().empty());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConnectionDialog, EveryChangeAfterASuccessfulCheckDropsTheConnection) {
    AddPrinter(0);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"SERIAL", [this] { Click(kIdSerial); }},
        {"PARALLEL", [this] { Click(kIdParallel); }},
        {"model", [this] { Choose(kIdModelList, 2); }},
        {"port", [this] { Choose(kIdPortList, 0); }},
        {"baud", [this] { Choose(kIdBaudList, 1); }},
        {"data bits", [this] { Choose(kIdDataBitsList, 0); }},
        {"parity", [this] { Choose(kIdParityList, 0); }},
        {"stop bits", [this] { Choose(kIdStopBitsList, 0); }},
        {"flow control", [this] { Choose(kIdFlowControlList, 0); }},
    };
    for (const auto& [what, change] : changes) {
        if (CheckedInterface(dialog) != "SERIAL") Click(kIdSerial);
        dialog.window().SetCurSel(kIdBaudList, 3);
        Connect();
        EXPECT_EQ(Buttons(dialog), "011") << what;
        change();
        EXPECT_EQ(Buttons(dialog), "100") << what;
        EXPECT_FALSE(dialog.connected) << what;
        EXPECT_FALSE(os.IsOpen("COM1")) << what;
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConnectionDialog, SelfTestPrintsThePageWithRunManagerOffMeanwhile) {
    AddPrinter(0);
    Connect();
    os.ClearTranscript();
    std::vector<std::string> duringPause;
    os.onPause = [&](int) { duringPause.push_back(Buttons(dialog)); };
    Click(kIdSelfTest);
    EXPECT_EQ(os.Exchange(), test::Lines(R"(
        write 1D 28 41 02 00 01 02
        pause 4300)"));
    EXPECT_EQ(duringPause, std::vector<std::string>{"010"});
    EXPECT_EQ(Buttons(dialog), "011");
    EXPECT_TRUE(os.IsOpen("COM1"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConnectionDialog, TheKeyboardStaysWithTheDialogWhenTheButtonItWasOnGoesOff) {
    AddPrinter(0);
    Click(kIdCheckCommunication);  // by mouse: the focus is on the button, which then goes off
    ASSERT_TRUE(dialog.connected);
    EXPECT_EQ(test::FocusedControl(dialog.window()), kIdSelfTest);
    test::PressKey(dialog.window(), test::Key::Tab);
    EXPECT_EQ(test::FocusedControl(dialog.window()), kIdRunManager);
    // No USB printer: SERIAL is checked again, and the focus goes with the check.
    Click(kIdUsb);
    EXPECT_EQ(CheckedInterface(dialog), "SERIAL");
    EXPECT_EQ(test::FocusedControl(dialog.window()), kIdSerial);
    test::PressKey(dialog.window(), test::Key::Escape);
    EXPECT_FALSE(dialog.window().IsVisible());
}

TEST_F(ConnectionDialog, OpensCentredOnTheScreenAndItsDialogsCentredOnIt) {
    AddPrinter(0);
    Connect();
    // Centred on `under` within a pixel, but never past the work area's edges, the top and
    // the left edge before the others (a dialog wider than the screen starts at its left).
    const auto expectCentred = [](const ui::PixelRect& shown, const ui::PixelRect& under,
                                  const ui::PixelRect& area) {
        const auto place = [](int centre, int size, int from, int length) {
            return std::max(std::min(centre - size / 2, from + length - size), from);
        };
        EXPECT_NEAR(shown.x, place(under.x + under.width / 2, shown.width, area.x, area.width), 1);
        EXPECT_NEAR(shown.y, place(under.y + under.height / 2, shown.height, area.y, area.height),
                    1);
    };
    const ui::PixelRect area = test::WorkAreaOf(dialog.window());
    const ui::PixelRect main = test::FrameOf(dialog.window());
    expectCentred(main, area, area);
    std::vector<ui::PixelRect> frames;
    const auto seen = [&frames](ui::Dialog& shown) {
        frames.push_back(test::FrameOf(shown.window()));
        test::PressKey(shown.window(), test::Key::Escape);
    };
    prompts.AnswerModal(seen);
    Click(kIdRunManager);
    prompts.AnswerModal(seen);
    dialog.OnSysCommand(kCommandAboutBox, 0);
    EXPECT_EQ(prompts.modalRuns.size(), 2u);
    for (const ui::PixelRect& frame : frames) expectCentred(frame, main, area);
}

TEST(ConnectionDialogEnd, ExitEndsTheRunAndTheDialogClosesItsConnection) {
    WatchedPlatform os;
    test::ScopedPlatform scoped{os};
    os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(0));
    test::PromptRecorder prompts;
    {
        MainDialog dialog;
        prompts.AnswerModal([](ui::Dialog& d) {
            test::Press(d.window(), kIdCheckCommunication);
            test::Press(d.window(), kIdExit);
        });
        EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
        EXPECT_TRUE(dialog.connected);
        EXPECT_TRUE(os.IsOpen("COM1"));
    }
    EXPECT_FALSE(os.IsOpen("COM1"));
}

TEST(ConnectionDialogRealTime, IdentifiesThePrinterOverAPseudoTerminal) {
    test::ServedPrinter printer(0, "COM1");
    ASSERT_TRUE(printer.Running());
    test::PromptRecorder prompts;
    MainDialog dialog;
    dialog.Show();
    test::Press(dialog.window(), kIdCheckCommunication);
    EXPECT_EQ(prompts.messages,
              (std::vector<Message>{{"Printer is connected.", MessageIcon::Information}}));
    EXPECT_EQ(Buttons(dialog), "011");
}

}  // namespace
}  // namespace talq::gui
