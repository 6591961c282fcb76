#include "ui/progress_bar.h"

#include <gtest/gtest.h>

#include <QProgressBar>

namespace talq::ui {
namespace {

TEST(ProgressBar, StepsWrapPastTheUpperEndAndTheBarFollowsAtOnce) {
    QProgressBar widget;
    ProgressBar bar(&widget);
    bar.SetRange(0, 100);
    bar.SetStep(4);
    struct Case {
        const char* what;
        int (ProgressBar::*operation)();
        int position;
    };
    EXPECT_EQ(bar.SetPos(92), 0);
    for (const auto& [what, operation, position] : {
             Case{"step", &ProgressBar::StepIt, 96},
             Case{"step to the end", &ProgressBar::StepIt, 100},
             Case{"step past the end", &ProgressBar::StepIt, 0},
             Case{"step from the start", &ProgressBar::StepIt, 4},
         }) {
        (bar.*operation)();
        EXPECT_EQ(bar.GetPos(), position) << what;
        EXPECT_EQ(widget.value(), position) << what;
    }
    EXPECT_EQ(bar.SetPos(250), 4);
    EXPECT_EQ(widget.value(), 100);  // held within the range
    bar.SetRange(10, 20);
    EXPECT_EQ(widget.minimum(), 10);
    EXPECT_EQ(bar.GetPos(), 20);
}

}  // namespace
}  // namespace talq::ui
