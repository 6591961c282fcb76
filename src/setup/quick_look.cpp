#include "setup/quick_look.h"

#include <algorithm>
#include <array>

#include "platform/platform.h"
#include "protocol/commands.h"
#include "protocol/reply_reader.h"
#include "status/status_exchanges.h"

namespace talq::setup {
namespace {

// The most bytes one read may ask for and still end within `ms` when nothing comes: a read
// lasts at most multiplier x count + constant.
int CountWithin(const platform::CommTimeouts& t, std::int64_t ms) {
    if (t.readTotalMultiplierMs == 0) return 1;
    return static_cast<int>((ms - t.readTotalConstantMs) / t.readTotalMultiplierMs);
}

bool IsModelIdByte(std::uint8_t byte) {
    return byte == status::ExpectedModelIdByte(0) || byte == status::ExpectedModelIdByte(1);
}

}  // namespace

LookResult LookForModelId(link::PrinterPort& port, const link::PortSettings& settings) {
    if (port.Configure(settings) == 0) return {Look::ConfigureFailed};
    if (port.Open() == 0) return {Look::OpenFailed};
    auto& os = platform::Current();
    protocol::ReplyReader reader(port, protocol::ReadMode::Byte);
    const auto close = [&](LookResult result) {
        // What has not gone out is dropped first: output held back by CTS would keep the close
        // waiting for the driver's closing time.
        if (link::SerialPort* serial = port.serial()) os.Purge(serial->handle);
        port.Close();
        return result;
    };

    protocol::ReplyBuffer pending{};
    for (int read = 0; read < kQuickDiscardReads; ++read) {
        reader.Pause(50);
        pending[0] = 0;
        reader.ReadInto(pending, 0, 1);
        if (pending[0] == 0) break;  // a zero byte counts as nothing received
    }

    if (reader.Write(protocol::kInitialize) != static_cast<int>(protocol::kInitialize.size())) {
        return close({Look::PortError});
    }
    reader.Write(protocol::kSelectPeripheralDevice);
    reader.Write(protocol::kDisableAutomaticStatusBack);
    reader.Write(protocol::kModelIdQuery);

    LookResult result{Look::Silent};
    std::array<std::uint8_t, protocol::kMaxReplyBytes> buffer{};
    const std::int64_t end = os.NowMs() + kAnswerWindowMs;
    for (;;) {
        const int count = std::min(CountWithin(settings.timeouts, end - os.NowMs()),
                                   static_cast<int>(buffer.size()));
        if (count <= 0) break;
        // Ends 10 ms after the last byte that came, so an answer is taken when it comes.
        const int got = port.Read(buffer.data(), count, protocol::kReadTimeoutMs);
        if (got <= 0) break;  // the read waited out the window (or the device went away)
        for (int i = 0; i < got; ++i) {
            if (IsModelIdByte(buffer[i])) return close({Look::ModelIdByte, buffer[i]});
            if (buffer[i] != 0) result.look = Look::Heard;
        }
    }
    return close(result);
}

}  // namespace talq::setup
