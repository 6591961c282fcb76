// The Qt loader: controls where their dialog units say, taking their clicks,
// and a progress bar painted as it moves.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QProgressBar>
#include <cmath>

#include "ui/dialog.h"
#include "ui/progress_bar.h"
#include "ui/qt/dialog_controls.h"
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

TEST(QtLoader, ControlsSitWhereTheirDialogUnitsSayAndTakeTheirClicks) {
    QWidget window;
    qt::DialogControls controls;
    controls.Load(test::SampleTemplate(), window);
    window.show();
    EXPECT_EQ(window.size(), ExpectedPixels({0, 0, 200, 125}, window.font()).size());
    for (const auto& control : test::SampleTemplate().controls) {
        if (control.id == kNoId) continue;
        QWidget* widget = controls.Item(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->objectName().toInt(), control.id);
        QRect expected = ExpectedPixels(control.rect, window.font());
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            // Closed, a list is one line high; the rest is its drop-down.
            EXPECT_LT(widget->height(), expected.height());
            expected.setHeight(widget->height());
            EXPECT_GE(list->maxVisibleItems(), list->count());
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

TEST(QtLoader, TheProgressBarFollowsEveryMoveAtOnce) {
    Dialog dialog(test::SampleTemplate());
    auto* widget = qobject_cast<QProgressBar*>(qt::WidgetOf(dialog.window(), 40));
    ASSERT_NE(widget, nullptr);
    ProgressBar bar;
    bar.Attach(dialog.window(), 40);
    bar.SetRange(10, 20);
    bar.SetPos(15);
    EXPECT_EQ(std::tuple(widget->minimum(), widget->maximum(), widget->value()),
              std::tuple(10, 20, 15));
    bar.SetPos(250);
    EXPECT_EQ(widget->value(), 20);  // held within the range
}

}  // namespace
}  // namespace talq::ui
