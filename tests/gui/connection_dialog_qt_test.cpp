// Template 102 as Qt builds it: ids, keyboard order (Tab and the radio
// group's arrow keys), every control reachable by the mouse, lists named by
// their labels, the icon, the About item on F1 and in the context menu, and a
// rendered image of the dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>

#include "gui/dialog_state.h"
#include "gui/templates/templates.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "ui/qt/qt_window.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/ui_driver.h"
#include "ui/support/widget_actions.h"

namespace talq::gui {
namespace {

using ui::qt::TopWidget;
using ui::qt::WidgetOf;

struct ConnectionDialogQt : ::testing::Test {
    ConnectionDialogQt() { dialog.Show(); }
    QWidget* Item(int id) { return WidgetOf(dialog.window(), id); }
    QWidget& Widget() { return *TopWidget(dialog.window()); }

    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    test::PromptRecorder prompts;
    MainDialog dialog;
};

TEST_F(ConnectionDialogQt, IdsKeyboardOrderClicksNamesAndIcon) {
    std::vector<int> tabOrder;
    QWidget* widget = Item(kIdExit);
    do {
        bool isControl = false;
        const int id = widget->objectName().toInt(&isControl);
        if (isControl && (widget->focusPolicy() & Qt::TabFocus)) tabOrder.push_back(id);
        widget = widget->nextInFocusChain();
    } while (widget != Item(kIdExit));
    EXPECT_EQ(tabOrder,
              (std::vector<int>{kIdExit, kIdCheckCommunication, kIdSelfTest, kIdRunManager,
                                kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList,
                                kIdFlowControlList, kIdModelList, kIdPortList}));

    for (const auto& control : MainTemplate().controls) {
        if (control.id == ui::kNoId) continue;
        QWidget* item = Item(control.id);
        ASSERT_NE(item, nullptr) << control.id;
        QWidget* hit = Widget().childAt(item->geometry().center());
        EXPECT_TRUE(hit == item || item->isAncestorOf(hit)) << control.id;
    }

    for (const auto& [id, label] :
         std::vector<std::pair<int, std::string>>{{kIdModelList, "Device Selection"},
                                                  {kIdPortList, "Port"},
                                                  {kIdBaudList, "Baud Rate"},
                                                  {kIdDataBitsList, "Data Bits"},
                                                  {kIdParityList, "Parity"},
                                                  {kIdStopBitsList, "Stop Bits"},
                                                  {kIdFlowControlList, "Flow Control"}}) {
        EXPECT_EQ(test::LabelledBy(*Item(id)), label) << id;
    }
    EXPECT_FALSE(Widget().windowIcon().isNull());

    const QImage image = test::Render(Widget());
    EXPECT_FALSE(test::IsBlank(image));
    const QString path = QDir::current().filePath("connection_dialog.png");
    EXPECT_TRUE(image.save(path)) << path.toStdString();
}

TEST_F(ConnectionDialogQt, ArrowKeysStepThroughTheInterfacesInOrderAndWrapAround) {
    const auto focused = [this] {
        QWidget* focus = QApplication::focusWidget();
        return focus == Item(kIdSerial)     ? "SERIAL"
               : focus == Item(kIdParallel) ? "PARALLEL"
               : focus == Item(kIdUsb)      ? "USB"
                                            : "other";
    };
    Widget().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Widget()));
    struct Step {
        Qt::Key key;
        const char* focus;
        const char* checked;
        const char* port;  // the third entry, chosen before the key, stays when no handler runs
        std::size_t messages;
    };
    const Step steps[] = {
        {Qt::Key_Down, "PARALLEL", "PARALLEL", "LPT1", 0},
        {Qt::Key_Down, "SERIAL", "SERIAL", "COM1", 1},  // no USB printer: back to SERIAL
        {Qt::Key_Up, "SERIAL", "SERIAL", "COM1", 2},    // round to USB, and back again
        {Qt::Key_Right, "PARALLEL", "PARALLEL", "LPT1", 2},
        {Qt::Key_Left, "SERIAL", "SERIAL", "COM1", 2},
    };
    ui::Window& window = dialog.window();
    test::Press(window, kIdSerial);
    for (const auto& step : steps) {
        test::Choose(window, kIdPortList, 2);
        test::PressKey(*QApplication::focusWidget(), step.key);
        const std::tuple seen(std::string(focused()), test::CheckedInterface(dialog),
                              window.Text(kIdPortList), prompts.messages.size());
        EXPECT_EQ(seen, std::tuple(std::string(step.focus), std::string(step.checked),
                                   std::string(step.port), step.messages));
    }
    // With "KTV-520plusF" the other two are off and the keys stay on SERIAL.
    test::Choose(window, kIdModelList, 2);
    test::Press(window, kIdSerial);
    test::Choose(window, kIdPortList, 2);
    test::PressKey(*QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(std::string(focused()), "SERIAL");
    EXPECT_EQ(window.Text(kIdPortList), "COM3");
}

TEST_F(ConnectionDialogQt, AboutBoxOpensFromF1AndTheContextMenuAndChangesNothing) {
    os.AddDevice("COM1", std::make_shared<test::SimulatedPrinterDevice>(1));
    test::Choose(dialog.window(), kIdModelList, 1);
    test::Press(dialog.window(), kIdCheckCommunication);
    ASSERT_TRUE(dialog.connected);
    const auto state = [this] {
        return std::tuple(test::StateOf(dialog.window(), kIdBaudList), test::Buttons(dialog),
                          dialog.connected);
    };
    const auto before = state();
    QString version;
    bool iconShown = false;
    prompts.AnswerModal([&](ui::Dialog& about) {
        for (auto* label : TopWidget(about.window())->findChildren<QLabel*>()) {
            if (label->text().startsWith("TALQ")) version = label->text();
            iconShown = iconShown || !label->pixmap().isNull();
        }
        test::Press(about.window(), ui::kIdOk);
    });
    prompts.AnswerModal(
        [](ui::Dialog& about) { test::PressKey(about.window(), test::Key::Escape); });
    test::PressKey(dialog.window(), test::Key::F1);
    ASSERT_EQ(Widget().actions().size(), 1);
    EXPECT_EQ(Widget().actions().front()->text(), "&About TALQ...");
    Widget().actions().front()->trigger();

    EXPECT_EQ(prompts.modalRuns, (std::vector<std::string>{"About TALQ", "About TALQ"}));
    EXPECT_EQ(version, "TALQ Version 1.0");
    EXPECT_TRUE(iconShown);
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(os.IsOpen("COM1"));
}

}  // namespace
}  // namespace talq::gui
