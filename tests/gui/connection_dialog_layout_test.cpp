// Template 102 as built: ids, keyboard order, every control reachable by the
// mouse, lists named by their labels, and a rendered image of the dialog.
#include <gtest/gtest.h>

#include <QDir>

#include "gui/main_dialog.h"
#include "gui/main_ids.h"
#include "gui/templates/templates.h"
#include "support/scoped_platform.h"
#include "support/virtual_platform.h"
#include "ui/support/prompt_recorder.h"
#include "ui/support/widget_actions.h"

namespace talq::gui {
namespace {

TEST(ConnectionDialogLayout, IdsKeyboardOrderClicksAndNames) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    test::PromptRecorder prompts;
    MainDialog dialog;
    dialog.show();

    std::vector<int> tabOrder;
    QWidget* widget = dialog.Item(kIdExit);
    do {
        bool isControl = false;
        const int id = widget->objectName().toInt(&isControl);
        if (isControl && (widget->focusPolicy() & Qt::TabFocus)) tabOrder.push_back(id);
        widget = widget->nextInFocusChain();
    } while (widget != dialog.Item(kIdExit));
    EXPECT_EQ(tabOrder, (std::vector<int>{kIdExit, kIdCheckCommunication, kIdSelfTest, kIdRunManager,
                                          kIdBaudList, kIdDataBitsList, kIdParityList,
                                          kIdStopBitsList, kIdFlowControlList, kIdModelList,
                                          kIdPortList}));

    for (const auto& control : MainTemplate().controls) {
        if (control.id == ui::kNoId) continue;
        QWidget* item = dialog.Item(control.id);
        ASSERT_NE(item, nullptr) << control.id;
        QWidget* hit = dialog.childAt(item->geometry().center());
        EXPECT_TRUE(hit == item || item->isAncestorOf(hit)) << control.id;
    }

    for (const auto& [id, label] : std::vector<std::pair<int, std::string>>{
             {kIdModelList, "Device Selection"}, {kIdPortList, "Port"},
             {kIdBaudList, "Baud Rate"}, {kIdDataBitsList, "Data Bits"},
             {kIdParityList, "Parity"}, {kIdStopBitsList, "Stop Bits"},
             {kIdFlowControlList, "Flow Control"}}) {
        EXPECT_EQ(test::LabelledBy(*dialog.Item(id)), label) << id;
    }

    const QImage image = test::Render(dialog);
    EXPECT_FALSE(test::IsBlank(image));
    const QString path = QDir::current().filePath("connection_dialog.png");
    EXPECT_TRUE(image.save(path)) << path.toStdString();
}

}  // namespace
}  // namespace talq::gui
