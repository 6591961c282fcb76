#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <cmath>

#include "ui/dialog_controls.h"
#include "ui/sample_template.h"

namespace talq::ui {
namespace {

// Dialog units to pixels worked out here from the font the window really got.
QRect ExpectedPixels(const DialogRect& r, const QFont& font) {
    const QFontMetrics metrics(font);
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const double baseX = std::round(metrics.horizontalAdvance(letters) / 52.0);
    const double baseY = metrics.height();
    const auto px = [](int units, double base, double per) {
        return static_cast<int>(std::lround(units * base / per));
    };
    return {px(r.x, baseX, 4), px(r.y, baseY, 8), px(r.width, baseX, 4), px(r.height, baseY, 8)};
}

struct Loaded : ::testing::Test {
    Loaded() {
        controls.Load(test::SampleTemplate(), window);
        window.show();
    }
    QWidget window;
    DialogControls controls;
};

TEST_F(Loaded, ControlsSitWhereTheirDialogUnitsSayAndTakeTheirClicks) {
    EXPECT_EQ(window.size(), ExpectedPixels({0, 0, 200, 125}, window.font()).size());
    for (const auto& control : test::SampleTemplate().controls) {
        if (control.id == kNoId) continue;
        QWidget* widget = controls.Item(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->objectName().toInt(), control.id);
        QRect expected = ExpectedPixels(control.rect, window.font());
        if (qobject_cast<QComboBox*>(widget)) {
            // Closed, a list is one line high; the rest is its drop-down.
            EXPECT_LT(widget->height(), expected.height());
            expected.setHeight(widget->height());
        }
        EXPECT_EQ(widget->geometry(), expected) << control.id;
        if (widget->isEnabled()) {
            // An editable list's own line edit takes the click for it.
            QWidget* hit = window.childAt(widget->geometry().center());
            EXPECT_TRUE(hit == widget || widget->isAncestorOf(hit)) << control.id;
        }
    }
    EXPECT_FALSE(controls.Item(31)->isEnabled());
    EXPECT_EQ(controls.Item(99), nullptr);
}

// Keyboard order and list labels are checked on the connection dialog's template.
TEST_F(Loaded, RadioGroupsAndListsStartWithNothingSelected) {
    QButtonGroup* first = controls.RadioGroup(10);
    QButtonGroup* second = controls.RadioGroup(12);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(controls.RadioGroup(11), nullptr);
    EXPECT_EQ(first->buttons().size(), 2);
    EXPECT_EQ(second->buttons().size(), 2);
    EXPECT_EQ(RadioIndex(*first), -1);
    SetRadioIndex(*first, 1);
    SetRadioIndex(*second, 0);
    EXPECT_EQ(RadioIndex(*first), 1);
    SetRadioIndex(*first, -1);
    EXPECT_EQ(RadioIndex(*first), -1);
    EXPECT_EQ(RadioIndex(*second), 0);  // the groups are apart

    for (int id : {20, 21}) {
        auto* list = controls.ItemAs<QComboBox>(id);
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_GE(list->maxVisibleItems(), list->count());
    }
}

}  // namespace
}  // namespace talq::ui
