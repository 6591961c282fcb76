#include "setup/check_communication.h"

#include <string>

#include "protocol/commands.h"
#include "protocol/reply_reader.h"
#include "status/status_exchanges.h"

namespace talq::setup {

using protocol::ReadMode;
using protocol::ReplyBuffer;
using protocol::ReplyReader;
using status::MessageIcon;

namespace {

void DiscardPendingInput(ReplyReader& reader) {
    ReplyBuffer buffer{};
    int emptyInARow = 0;
    for (int read = 0; read < kMaxDiscardReads; ++read) {
        reader.Pause(50);
        reader.ReadInto(buffer, 0, 1);
        // A zero byte counts as nothing received.
        if (buffer[0] != 0) {
            emptyInARow = 0;
        } else if (++emptyInARow > 4) {
            break;
        }
        buffer.fill(0);
    }
}

std::string ReadMakerName(ReplyReader& reader, int model) {
    ReplyBuffer buffer{};
    if (reader.mode() == ReadMode::Block) {
        // The "KTV-540/542" answers at once or not at all: no second read.
        reader.ReadBlock(buffer, /*repeatWhenEmpty=*/model != 1);
        return protocol::TextAt(buffer, 1);
    }
    return reader.ReadText(buffer);
}

}  // namespace

CheckResult CheckCommunication(link::PrinterPort& port, const link::PortSettings& settings,
                               link::PortKind portKind, int model, status::ExchangeSink& sink,
                               bool* answered) {
    bool heard = false;
    if (answered == nullptr) answered = &heard;
    *answered = false;
    if (port.Configure(settings) == 0) {
        sink.ShowMessage("Port Configuration Set Error!", MessageIcon::None);
        return CheckResult::ConfigureFailed;
    }
    if (port.Open() == 0) {
        sink.ShowMessage("Can't open port and Printer is disconnected", MessageIcon::Exclamation);
        return CheckResult::OpenFailed;
    }
    ReplyReader reader(port, protocol::ReadModeFor(portKind));
    const bool byteMode = reader.mode() == ReadMode::Byte;
    const auto fail = [&](const char* text, MessageIcon icon, CheckResult result) {
        sink.ShowMessage(text, icon);
        port.Close();
        return result;
    };

    if (byteMode) DiscardPendingInput(reader);

    if (reader.Write(protocol::kInitialize) != static_cast<int>(protocol::kInitialize.size())) {
        return fail("Port error! Check printer's port, please.", MessageIcon::Exclamation,
                    CheckResult::PortError);
    }
    reader.Write(protocol::kSelectPeripheralDevice);
    reader.Write(protocol::kDisableAutomaticStatusBack);
    reader.Write(protocol::kModelIdQuery);

    ReplyBuffer buffer{};
    const std::uint8_t expected = status::ExpectedModelIdByte(model);
    const std::uint8_t first = reader.ReadModelIdByte(buffer);
    *answered = first != 0;
    const bool matched =
        first == expected || (byteMode && reader.RetryModelIdByte(buffer, expected, answered));
    if (matched) *answered = true;
    if (!matched) {
        return fail("The connected printer has different device ID.", MessageIcon::Information,
                    CheckResult::WrongDeviceId);
    }

    reader.Write(protocol::kMakerNameQuery);
    if (ReadMakerName(reader, model) != "KESTRUM") {
        return fail("This printer don't match our company name.", MessageIcon::Exclamation,
                    CheckResult::WrongMaker);
    }
    sink.ShowMessage("Printer is connected.", MessageIcon::Information);
    return CheckResult::Connected;
}

}  // namespace talq::setup
