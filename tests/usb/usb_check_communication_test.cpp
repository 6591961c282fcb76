// A whole Check Communication and Get Status over a USB printer node against
// the simulated printer: block-mode reads on the real backend.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "setup/check_communication.h"
#include "sim/simulated_printer.h"
#include "status/status_exchanges.h"
#include "support/recording_sink.h"
#include "usb/usb_testbed.h"

namespace talq::usbtest {
namespace {

// Plays the printer on the far end of the node's pseudo-terminal.
class PrinterOnNode {
public:
    PrinterOnNode(int model, int fd) : printer_(model), fd_(fd) {
        thread_ = std::thread([this] { Serve(); });
    }
    ~PrinterOnNode() {
        stop_ = true;
        thread_.join();
    }

private:
    void Serve() {
        std::uint8_t buffer[256];
        while (!stop_) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, 20) > 0 && (pfd.revents & POLLIN)) {
                const ssize_t n = ::read(fd_, buffer, sizeof buffer);
                if (n > 0) printer_.Receive(buffer, static_cast<std::size_t>(n));
            }
            const auto reply = printer_.TakeOutput();
            if (!reply.empty() && ::write(fd_, reply.data(), reply.size()) < 0) return;
        }
    }

    sim::SimulatedPrinter printer_;
    int fd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST(UsbCheckCommunication, IdentifiesAndReadsThePrinterInBlockMode) {
    UsbTestbed bed;
    bed.AddUsbDevice("1", 0x7c1a, 0x0006, 0);
    PrinterOnNode printer(0, bed.PrinterFd("/dev/usb/lp0"));

    link::PrinterPort port;
    link::PortSettings settings;
    settings.portName = "520plus:/dev/usb/lp0";
    test::RecordingSink sink;
    ASSERT_EQ(setup::CheckCommunication(port, settings, link::Usb, 0, sink),
              setup::CheckResult::Connected);
    EXPECT_EQ(sink.messages.back().text, "Printer is connected.");

    status::PrinterStatus record{};
    status::PrinterInfo info;
    ASSERT_EQ(status::GetStatus({port, link::Usb, 0}, record, info, sink),
              status::ExchangeResult::Success);
    EXPECT_EQ(info.modelName, "KTV-520plus");
    EXPECT_EQ(info.baudIndex, 3);
    port.Close();
}

}  // namespace
}  // namespace talq::usbtest
