// Check Communication, Get Status and Set Status once in real time, through
// the POSIX backend and a pseudo-terminal, against the simulated printer.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <thread>

#include "protocol/commands.h"
#include "setup/check_communication.h"
#include "status/status_exchanges.h"
#include "support/com_port.h"
#include "support/recording_sink.h"
#include "support/pty_pair.h"
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
    EXPECT_EQ(record.switches[3].pins[8], 1);  // the printer's 115200 baud in switch 9
    EXPECT_EQ(info.baudIndex, 4);

    record.switches[0].pins[4] = 1;  // "Cutting + Bell"
    record.switches[1].pins[1] = 1;  // "B Font (9x24)"
    record.switches[3].pins[8] = 0;
    record.switches[3].pins[6] = 1;  // 19200 baud, from the next start
    ASSERT_EQ(status::SetStatus(connection, record, info, sink), status::ExchangeResult::Success);
    EXPECT_EQ(sink.messages.back().text, "Success to set status of printer");
    port.Close();

    auto& printer = served.StopAndInspect();
    EXPECT_EQ(printer.SwitchText(1), "00001001");
    EXPECT_EQ(printer.SwitchText(2), "00000001");
    EXPECT_EQ(printer.SwitchText(9), "00100000");
    EXPECT_FALSE(printer.InSettingMode());
}

// Plays `printer` on the master side of `pty` until the host sends `hangUpAt`,
// then closes the master: the host sees the line hang up. Gives up after 20 s.
void ServeUntilCommand(test::PtyPair& pty, sim::SimulatedPrinter& printer,
                       const protocol::Command<7>& hangUpAt) {
    std::vector<std::uint8_t> heard;
    for (int round = 0; round < 2000; ++round) {
        const auto bytes = pty.Read(64, 10);
        heard.insert(heard.end(), bytes.begin(), bytes.end());
        if (std::search(heard.begin(), heard.end(), hangUpAt.begin(), hangUpAt.end()) !=
            heard.end()) {
            pty.CloseMaster();
            return;
        }
        printer.Receive(bytes.data(), bytes.size());
        pty.Write(printer.TakeOutput());
    }
}

TEST(RealTimeExchange, APrinterHangingUpAtTheParityQueryFailsGetStatus) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    ::setenv("TALQ_COM6", pty.SlavePath().c_str(), 1);
    link::PrinterPort port;
    ASSERT_TRUE(test::OpenCom(port, "COM6"));
    ::unsetenv("TALQ_COM6");

    sim::SimulatedPrinter printer(0);
    std::thread served(ServeUntilCommand, std::ref(pty), std::ref(printer),
                       protocol::SerialSettingQuery(protocol::kItemParity));
    status::PrinterStatus record{};
    record.switches[2].pins[3] = 1;
    const status::PrinterStatus recordBefore = record;
    status::PrinterInfo info{"Ver 1.05", "KTV-520plus", 6, 1, 2, 1};  // as after an earlier run
    const status::PrinterInfo infoBefore = info;
    test::RecordingSink sink;
    const auto result =
        status::GetStatus({port, link::Serial, 0}, record, info, sink);
    served.join();

    EXPECT_EQ(result, status::ExchangeResult::Failed);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, status::kSerialSettingReplyFailedMessage);
    EXPECT_EQ(sink.messages[0].icon, status::MessageIcon::Exclamation);
    EXPECT_EQ(record, recordBefore);
    EXPECT_EQ(info, infoBefore);
}

}  // namespace
}  // namespace talq::setup
