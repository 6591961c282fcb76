// The reply reader, in block and byte mode, through every entry point, over a
// line whose reads the input chooses (chunks, silence, a hang-up).
//
// Bound per call: at most 322 reads (a byte-by-byte reply stops at 64 bytes
// and at 5 empty reads in a row: 64 x 5 reads, plus the header byte and the
// ten-byte read of a switch reply) and at most 1000 ms of pauses (the ten
// model-ID retries). Every read costs at most its own time-out, so virtual
// time per call stays under 1000 ms + 322 read time-outs. The reply buffer
// sits alone on the heap, so a write past its 20 bytes is caught.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

#include "fuzz_check.h"
#include "fuzzed_line_platform.h"
#include "link/printer_port.h"
#include "protocol/reply_reader.h"
#include "support/scoped_platform.h"

namespace {

using talq::protocol::ReplyBuffer;
using talq::protocol::ReplyReader;

constexpr int kMaxReadsPerCall = talq::protocol::kMaxReplyBytes * talq::protocol::kMaxEmptyReadsInARow + 2;
constexpr int kMaxPauseMsPerCall = 1000;
constexpr int kMaxCalls = 12;

enum EntryPoint {
    kReadBlock, kDrain, kReadModelIdByte, kRetryModelIdByte, kReadText, kReadSwitch,
    kReadSetting, kReadModeReply, kReadInto, kEntryPoints
};

// Calls one entry point; returns how often a progress or byte callback ran.
int CallOne(FuzzedDataProvider& input, ReplyReader& reader, ReplyBuffer& buffer) {
    int callbacks = 0;
    const auto count = [&callbacks] { ++callbacks; };
    switch (input.ConsumeIntegralInRange<int>(0, kEntryPoints - 1)) {
        case kReadBlock: {
            const int got = reader.ReadBlock(buffer, input.ConsumeBool());
            FUZZ_CHECK(got >= 0 && got <= talq::protocol::kBlockReadBytes, "block read count");
            break;
        }
        case kDrain: reader.Drain(); break;
        case kReadModelIdByte: reader.ReadModelIdByte(buffer); break;
        case kRetryModelIdByte: reader.RetryModelIdByte(buffer, input.ConsumeIntegral<std::uint8_t>()); break;
        case kReadText: {
            const std::string text = reader.ReadText(buffer, count);
            FUZZ_CHECK(text.size() <= static_cast<std::size_t>(talq::protocol::kMaxReplyBytes), "text length");
            FUZZ_CHECK(callbacks <= talq::protocol::kMaxReplyBytes, "byte callbacks");
            break;
        }
        case kReadSwitch: {
            const auto reply = reader.ReadSwitch(buffer, input.ConsumeBool(), count);
            FUZZ_CHECK(callbacks <= 1, "one progress step per switch reply");
            if (reply.IsValid()) {
                for (int p = 1; p <= 8; ++p) {
                    FUZZ_CHECK(reply.PinValue(p) == 0 || reply.PinValue(p) == 1, "valid pin");
                }
            }
            break;
        }
        case kReadSetting: {
            int received = -1;
            const std::string value = reader.ReadSetting(buffer, input.ConsumeIntegral<std::uint8_t>(), &received);
            FUZZ_CHECK(received >= 0 && value.size() < buffer.size(), "setting value");
            FUZZ_CHECK(received > 0 || value.empty(), "a value out of nothing");
            break;
        }
        case kReadModeReply: {
            auto commandBuffer = std::make_unique<std::array<std::uint8_t, 16>>();
            reader.ReadModeReply(*commandBuffer);
            break;
        }
        default: {
            const int offset = input.ConsumeIntegralInRange<int>(0, static_cast<int>(buffer.size()) - 1);
            const int want = input.ConsumeIntegralInRange<int>(1, static_cast<int>(buffer.size()) - offset);
            const int got = reader.ReadInto(buffer, offset, want);
            FUZZ_CHECK(got >= 0 && got <= want, "read count");
            break;
        }
    }
    return callbacks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    talq::fuzz::FuzzedLinePlatform line(input);
    talq::test::ScopedPlatform installed(line);

    talq::link::PrinterPort port;
    talq::link::PortSettings settings;
    settings.portName = "COM1";
    settings.baudRate = 19200;
    settings.dataBits = 8;
    if (port.Configure(settings) != 1 || port.Open() != 1) return 0;
    ReplyReader reader(port, input.ConsumeBool() ? talq::protocol::ReadMode::Block
                                                 : talq::protocol::ReadMode::Byte);
    auto buffer = std::make_unique<ReplyBuffer>();
    for (int call = 0; call < kMaxCalls && input.remaining_bytes() > 0; ++call) {
        const int readsBefore = line.reads;
        const std::int64_t pausedBefore = line.pausedMs;
        CallOne(input, reader, *buffer);
        FUZZ_CHECK(line.reads - readsBefore <= kMaxReadsPerCall, "reads per call");
        FUZZ_CHECK(line.pausedMs - pausedBefore <= kMaxPauseMsPerCall, "pauses per call");
    }
    return 0;
}
