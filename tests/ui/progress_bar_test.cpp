#include "ui/progress_bar.h"

#include <gtest/gtest.h>

#include "ui/dialog.h"
#include "ui/sample_template.h"

namespace talq::ui {
namespace {

TEST(ProgressBar, StepsWrapPastTheUpperEndAndPositionsStayInTheRange) {
    Dialog dialog(test::SampleTemplate());
    ProgressBar bar;
    bar.Attach(dialog.window(), 40);
    bar.SetRange(0, 100);
    bar.SetStep(4);
    EXPECT_EQ(bar.SetPos(92), 0);
    for (const auto& [what, position] : {
             std::pair{"step", 96},
             std::pair{"step to the end", 100},
             std::pair{"step past the end", 0},
             std::pair{"step from the start", 4},
         }) {
        bar.StepIt();
        EXPECT_EQ(bar.GetPos(), position) << what;
    }
    EXPECT_EQ(bar.SetPos(250), 4);
    EXPECT_EQ(bar.GetPos(), 100);
    bar.SetRange(10, 20);
    EXPECT_EQ(bar.GetPos(), 20);
}

}  // namespace
}  // namespace talq::ui
