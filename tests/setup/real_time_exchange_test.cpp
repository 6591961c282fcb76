// Check Communication, Get Status and Set Status once in real time, through
// the POSIX backend and a pseudo-terminal, against the simulated printer.
#include <gtest/gtest.h>

#include "setup/check_communication.h"
#include "status/status_exchanges.h"
#include "support/com_port.h"
#include "support/recording_sink.h"
#include "support/served_printer.h"

namespace talq::setup {
namespace {

TEST(RealTimeExchange, CheckGetAndSetStatusOverAPseudoTerminal) {
    test::ServedPrinter served(1, "COM4");
    ASSERT_TRUE(served.Running());

    link::PrinterPort port;
    test::RecordingSink sink;
    ASSERT_EQ(CheckCommunication(port, test::ComSettings("COM4", 115200), link::Serial, 1, sink),
              CheckResult::Connected);

    const status::StatusConnection connection{port, link::Serial, 1};
    status::PrinterStatus record{};
    status::PrinterInfo info;
    ASSERT_EQ(status::GetStatus(connection, record, info, sink), status::ExchangeResult::Success);
    EXPECT_EQ(info.modelName, "KTV-540/542");
    EXPECT_EQ(record.switches[3].pins[6], 1);  // the printer's 19200 baud in switch 9
    EXPECT_EQ(info.baudIndex, 1);

    record.switches[0].pins[4] = 1;  // "Cutting + Bell"
    record.switches[1].pins[1] = 1;  // "B Font (9x24)"
    record.switches[3].pins[6] = 0;
    record.switches[3].pins[8] = 1;  // 115200 baud
    ASSERT_EQ(status::SetStatus(connection, record, info, sink), status::ExchangeResult::Success);
    EXPECT_EQ(sink.messages.back().text, "Success to set status of printer");
    port.Close();

    auto& printer = served.StopAndInspect();
    EXPECT_EQ(printer.SwitchText(1), "00001001");
    EXPECT_EQ(printer.SwitchText(2), "00000001");
    EXPECT_EQ(printer.SwitchText(9), "10000000");
    EXPECT_FALSE(printer.InSettingMode());
}

}  // namespace
}  // namespace talq::setup
