// Whole exchanges in virtual time: Check Communication, then Get Status and
// Set Status in an order the input picks, against a printer whose replies the
// input cuts, replaces, delays, drops or ends, and a line that may stall.
//
// Bound per exchange: at most 2000 reads and 60 s of virtual time (a first
// Get Status in byte mode whose every text reply and header search runs to
// its limit reads about 1100 times, each read costing at most its 20 ms
// time-out, plus about 4 s of pauses).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <memory>

#include "fuzz_check.h"
#include "fuzzed_printer_device.h"
#include "setup/check_communication.h"
#include "status/status_exchanges.h"
#include "support/recording_sink.h"
#include "support/scoped_platform.h"
#include "support/virtual_platform.h"

namespace {

using talq::status::ExchangeResult;

constexpr std::size_t kMaxReadsPerExchange = 2000;
constexpr std::int64_t kMaxVirtualMsPerExchange = 60000;

// Measures one exchange on the virtual platform and checks its bound.
class ExchangeBound {
public:
    ExchangeBound(talq::test::VirtualPlatform& os, const talq::test::RecordingSink& sink)
        : os_(os), sink_(sink), firstLine_(os.Transcript().size()), startMs_(os.NowMs()),
          firstMessage_(sink.messages.size()) {}

    void Check() const {
        const auto& lines = os_.Transcript();
        const auto reads = static_cast<std::size_t>(
            std::count_if(lines.begin() + static_cast<long>(firstLine_), lines.end(),
                          [](const std::string& line) { return line.rfind("read ", 0) == 0; }));
        FUZZ_CHECK(reads <= kMaxReadsPerExchange, "reads per exchange");
        FUZZ_CHECK(os_.NowMs() - startMs_ <= kMaxVirtualMsPerExchange, "virtual time per exchange");
    }

    // Whether this exchange showed `text`, and whether it was its last message.
    bool Showed(const std::string& text) const {
        return std::any_of(sink_.messages.begin() + static_cast<long>(firstMessage_),
                           sink_.messages.end(), [&](const auto& m) { return m.text == text; });
    }
    bool EndedWith(const std::string& text) const {
        return sink_.messages.size() > firstMessage_ && sink_.messages.back().text == text;
    }

private:
    talq::test::VirtualPlatform& os_;
    const talq::test::RecordingSink& sink_;
    std::size_t firstLine_;
    std::int64_t startMs_;
    std::size_t firstMessage_;
};

void RunGetStatus(talq::test::VirtualPlatform& os, talq::test::RecordingSink& sink,
                  const talq::status::StatusConnection& connection,
                  talq::status::PrinterStatus& record, talq::status::PrinterInfo& info) {
    static const std::string kSuccess = "Success to get status of printer.";
    const talq::status::PrinterStatus before = record;
    const ExchangeBound bound(os, sink);
    const ExchangeResult result = GetStatus(connection, record, info, sink);
    bound.Check();
    if (result != ExchangeResult::Success) {
        FUZZ_CHECK(!bound.Showed(kSuccess), "a failed Get Status showed success");
        FUZZ_CHECK(record == before, "a failed Get Status changed the record");
        return;
    }
    FUZZ_CHECK(bound.EndedWith(kSuccess), "Get Status succeeded without saying so");
    for (std::size_t slot = 0; slot < record.switches.size(); ++slot) {
        const auto& pins = record.switches[slot].pins;
        FUZZ_CHECK(pins[0] == before.switches[slot].pins[0], "Get Status wrote pins[0]");
        for (int p = 1; p <= 8; ++p) {
            const int value = pins[static_cast<std::size_t>(p)];
            FUZZ_CHECK(value == 0 || value == 1, "a pin read as neither 0 nor 1");
        }
    }
}

void RunSetStatus(talq::test::VirtualPlatform& os, talq::test::RecordingSink& sink,
                  const talq::status::StatusConnection& connection,
                  const talq::status::PrinterStatus& record, talq::status::PrinterInfo& info) {
    static const std::string kSuccess = "Success to set status of printer";
    const ExchangeBound bound(os, sink);
    const ExchangeResult result = SetStatus(connection, record, info, sink);
    bound.Check();
    if (result == ExchangeResult::Success) {
        FUZZ_CHECK(bound.EndedWith(kSuccess), "Set Status succeeded without saying so");
    } else {
        FUZZ_CHECK(!bound.Showed(kSuccess), "a failed Set Status showed success");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    talq::test::VirtualPlatform os;
    talq::test::ScopedPlatform installed(os);
    const int model = input.ConsumeIntegralInRange<int>(0, 2);
    const auto kind = input.ConsumeBool() ? talq::link::Usb : talq::link::Serial;
    os.AddDevice("COM1", std::make_shared<talq::fuzz::FuzzedPrinterDevice>(input, model));
    if (input.ConsumeIntegralInRange<int>(0, 7) == 7) {  // now and then a line that stalls
        os.SetWriteLimit("COM1", input.ConsumeIntegralInRange<int>(0, 16));
    }

    talq::link::PrinterPort port;
    talq::link::PortSettings settings;
    settings.portName = "COM1";
    settings.baudRate = 19200;
    settings.dataBits = 8;
    talq::test::RecordingSink sink;
    static const std::string kConnected = "Printer is connected.";
    const ExchangeBound check(os, sink);
    const auto result = talq::setup::CheckCommunication(port, settings, kind, model, sink);
    check.Check();
    if (result != talq::setup::CheckResult::Connected) {
        FUZZ_CHECK(!check.Showed(kConnected), "a failed check showed success");
        return 0;
    }
    FUZZ_CHECK(check.EndedWith(kConnected), "connected without saying so");

    const talq::status::StatusConnection connection{port, kind, model};
    talq::status::PrinterStatus record{};
    record.switches[0].pins[0] = input.ConsumeIntegral<std::int32_t>();
    talq::status::PrinterInfo info;
    // Without input left: Get Status twice (the second skips the texts).
    enum Next { Get, Set, Stop };
    for (int run = 0; run < 3; ++run) {
        const int next = input.ConsumeIntegralInRange<int>(Get, Stop);
        if (next == Stop) break;
        if (next == Get) RunGetStatus(os, sink, connection, record, info);
        if (next == Set) RunSetStatus(os, sink, connection, record, info);
    }
    return 0;
}
