// The user's actions on Qt widgets: mouse clicks where a user clicks, keys
// through Qt's key events, and a choice in a list as its drop-down makes it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "ui/qt/qt_window.h"
#include "ui/support/ui_driver.h"

namespace talq::test {

namespace {

// Control `id` when a user could reach it (shown and enabled, its window too), else nullptr
// and a failure.
template <typename Widget = QWidget>
Widget* Usable(ui::Window& window, int id, const char* action) {
    QWidget* widget = ui::qt::WidgetOf(window, id);
    auto* typed = qobject_cast<Widget*>(widget);
    if (typed == nullptr) {
        ADD_FAILURE() << action << ": no such control " << id;
    } else if (!widget->isVisible()) {
        ADD_FAILURE() << action << ": control " << id << " is hidden";
    } else if (!widget->isEnabled()) {
        ADD_FAILURE() << action << ": control " << id << " is disabled";
    } else {
        return typed;
    }
    return nullptr;
}

Qt::Key QtKey(Key key) {
    switch (key) {
        case Key::Enter:
            return Qt::Key_Return;
        case Key::Escape:
            return Qt::Key_Escape;
        case Key::Tab:
            return Qt::Key_Tab;
        case Key::Down:
            return Qt::Key_Down;
        case Key::Up:
            return Qt::Key_Up;
        case Key::F1:
            return Qt::Key_F1;
    }
    return Qt::Key_unknown;
}

}  // namespace

void Press(ui::Window& window, int id) {
    auto* button = Usable<QAbstractButton>(window, id, "Press");
    if (button == nullptr) return;
    QPoint at = button->rect().center();
    // A radio button takes clicks on its indicator whatever its caption's length.
    if (qobject_cast<QRadioButton*>(button) != nullptr) {
        QStyleOptionButton option;
        option.initFrom(button);
        at = button->style()
                 ->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button)
                 .center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void Choose(ui::Window& window, int id, int index) {
    auto* list = Usable<QComboBox>(window, id, "Choose");
    if (list == nullptr) return;
    if (index < 0 || index >= list->count()) {
        ADD_FAILURE() << "Choose: list " << id << " has no entry " << index;
        return;
    }
    list->setCurrentIndex(index);
    Q_EMIT list->activated(index);
}

void Type(ui::Window& window, int id, std::string_view text) {
    auto* list = Usable<QComboBox>(window, id, "Type");
    if (list == nullptr) return;
    QLineEdit* edit = list->lineEdit();
    if (edit == nullptr) {
        ADD_FAILURE() << "Type: list " << id << " takes no typing";
        return;
    }
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void ChooseTab(ui::Window& window, int id, int index) {
    auto* tabs = Usable<QTabWidget>(window, id, "ChooseTab");
    if (tabs == nullptr) return;
    QTabBar* bar = tabs->tabBar();
    if (index < 0 || index >= bar->count()) {
        ADD_FAILURE() << "ChooseTab: tab control " << id << " has no tab " << index;
        return;
    }
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
}

void PressKey(ui::Window& window, Key key) {
    QWidget* top = ui::qt::TopWidget(window);
    if (top == nullptr || !top->isVisible()) {
        ADD_FAILURE() << "PressKey: the window is not shown";
        return;
    }
    QWidget* frame = top->window();
    // Shortcuts (F1) reach only the active window.
    if (!frame->isActiveWindow()) {
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
    }
    QWidget* focus = frame->focusWidget();
    QTest::keyClick(focus != nullptr ? focus : frame, QtKey(key));
}

void Focus(ui::Window& window, int id) {
    if (QWidget* widget = Usable(window, id, "Focus")) widget->setFocus();
}

int FocusedControl(ui::Window& window) {
    QWidget* top = ui::qt::TopWidget(window);
    if (top == nullptr) return ui::kNoId;
    // A part of a control (the tab bar of a tab control, the edit field of a list) stands for it.
    for (QWidget* w = top->window()->focusWidget(); w != nullptr && w != top;
         w = w->parentWidget()) {
        if (w->parentWidget() != top) continue;
        bool isControl = false;
        const int id = w->objectName().toInt(&isControl);
        return isControl ? id : ui::kNoId;
    }
    return ui::kNoId;
}

ui::PixelRect FrameOf(ui::Window& window) {
    const QRect frame = ui::qt::TopWidget(window)->window()->frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

ui::PixelRect WorkAreaOf(ui::Window& window) {
    const QRect area = ui::qt::TopWidget(window)->window()->screen()->availableGeometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

void ProcessEvents() {
    QCoreApplication::processEvents();
}

}  // namespace talq::test
