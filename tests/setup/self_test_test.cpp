#include "setup/self_test.h"

#include <gtest/gtest.h>

#include "support/com_port.h"
#include "support/golden.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"

namespace talq::setup {
namespace {

TEST(SelfTest, WritesTheTestPrintAndWaitsForThePage) {
    test::VirtualPlatform os;
    test::ScopedPlatform scoped(os);
    auto device = std::make_shared<test::SimulatedPrinterDevice>(0);
    os.AddDevice("COM1", device);
    link::PrinterPort port;
    ASSERT_TRUE(test::OpenCom(port, "COM1"));
    os.ClearTranscript();

    EXPECT_EQ(SelfTest(port), 7);
    EXPECT_EQ(os.Exchange(), test::Lines("write 1D 28 41 02 00 01 02\npause 4300"));
    EXPECT_EQ(device->Printer().TestPrintCount(), 1);
}

}  // namespace
}  // namespace talq::setup
