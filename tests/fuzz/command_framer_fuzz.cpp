// The simulated printer's command framer: any byte stream, in chunks that
// arrive at input-chosen times, with replies taken or left and the client
// closing now and then. Neither a half-received command nor the reply queue
// grows past its bound, and after a gap of more than kCommandGapMs a
// model-ID query is answered at once, whatever came before.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "sim/command_framer.h"
#include "sim/simulated_printer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    talq::sim::SimulatedPrinter printer(input.ConsumeIntegralInRange<int>(0, 2));
    std::size_t longest = 0;
    talq::sim::CommandFramer framer([&longest](std::span<const std::uint8_t> command) {
        longest = std::max(longest, command.size());
    });

    std::int64_t nowMs = 0;
    while (input.remaining_bytes() > 0) {
        nowMs += input.ConsumeIntegralInRange<std::int64_t>(0, 2 * talq::sim::kCommandGapMs);
        const auto chunk =
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 512));
        printer.Receive(chunk.data(), chunk.size(), nowMs);
        framer.Feed(chunk.data(), chunk.size(), nowMs);
        FUZZ_CHECK(printer.OutputSize() <= talq::sim::kMaxQueuedReplyBytes, "reply queue bound");
        FUZZ_CHECK(framer.PendingSize() < talq::sim::kMaxCommandBytes, "half command bound");
        FUZZ_CHECK(longest <= talq::sim::kMaxCommandBytes, "command length bound");
        switch (input.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: printer.TakeOutput(); break;
            case 1: printer.HostClosed(); break;
            default: break;
        }
    }

    printer.DiscardOutput();
    const std::uint8_t modelIdQuery[] = {0x1D, 0x49, 0x01};
    printer.Receive(modelIdQuery, sizeof modelIdQuery, nowMs + talq::sim::kCommandGapMs + 1);
    FUZZ_CHECK(printer.TakeOutput() == std::vector<std::uint8_t>{printer.ModelByte()},
               "no recovery after a gap");
    return 0;
}
