// main() of the Win32 dialog tests: the application object, then the tests.
// Under Wine they run with the prefix's null graphics driver.
#include <gtest/gtest.h>

#include "ui/application.h"

int main(int argc, char** argv) {
    talq::ui::Application app(argc, argv, {}, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
