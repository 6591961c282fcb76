// The status dialog as Qt builds it: the pages over the tab control's display
// area, the pin buttons taking their clicks, no default button, the keypad's
// Enter, and a rendered image of each tab.
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "gui/status_dialog_fixture.h"
#include "ui/qt/qt_window.h"
#include "ui/support/widget_actions.h"

namespace talq::test {
namespace {

using ui::qt::TopWidget;
using ui::qt::WidgetOf;

struct StatusDialogQt : StatusDialogTest {
    QDialog& Widget() { return *static_cast<QDialog*>(TopWidget(dialog->window())); }
    QTabWidget& Tabs() {
        return *qobject_cast<QTabWidget*>(WidgetOf(dialog->window(), StatusDialog::kTabsId));
    }
};

TEST_F(StatusDialogQt, PagesLieOverTheDisplayAreaAndTheirButtonsTakeTheirClicks) {
    Open(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Widget()));
    for (const int tab : {0, 1}) {
        SelectTab(tab);
        // Where the tab control's own page would be.
        const QWidget& area = *Tabs().currentWidget();
        const QRect display(area.mapTo(&Widget(), QPoint(0, 0)), area.size());
        EXPECT_EQ(TopWidget(Switches())->geometry(), display) << tab;
        EXPECT_EQ(TopWidget(Settings())->geometry(), display) << tab;
    }
    SelectTab(0);
    Press(StatusDialog::kInitializeStatusId);
    QWidget& button = *WidgetOf(Switches(), MemorySwitchPage::RightButtonId(4));
    EXPECT_EQ(Widget().childAt(button.mapTo(&Widget(), QPoint(6, button.height() / 2))), &button);
    // No button is the default, and Qt makes none a default of its own.
    for (auto* push : Widget().findChildren<QPushButton*>()) {
        EXPECT_FALSE(push->isDefault() || push->autoDefault()) << push->objectName().toStdString();
    }
}

TEST_F(StatusDialogQt, TheKeypadEnterKeyActsAsEnter) {
    Open(0);
    // On the focused push button it presses the button ...
    QWidget& get = *WidgetOf(dialog->window(), StatusDialog::kGetStatusId);
    get.setFocus();
    QTest::keyClick(&get, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(prompts.messages.size(), 1u);
    // ... and elsewhere it ends the dialog with 1.
    QWidget& tabs = *Tabs().tabBar();
    tabs.setFocus();
    QTest::keyClick(&tabs, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Widget().result(), 1);
}

TEST_F(StatusDialogQt, EachTabRendersAfterAGetStatus) {
    Open(1);
    Press(StatusDialog::kGetStatusId);
    for (const auto& [tab, file] :
         {std::pair{0, "status_memory_switch.png"}, std::pair{1, "status_printer_setting.png"}}) {
        SelectTab(tab);
        const QImage image = Render(Widget());
        EXPECT_FALSE(IsBlank(image));
        EXPECT_TRUE(image.save(file)) << file;
    }
}

}  // namespace
}  // namespace talq::test
