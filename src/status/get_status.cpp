#include <cstdio>

#include "protocol/commands.h"
#include "status/serial_encoding.h"
#include "status/status_exchanges.h"

namespace talq::status {

using protocol::ReadMode;
using protocol::ReplyBuffer;
using protocol::ReplyReader;

namespace {

// Switches in the order they are asked for, as slots of PrinterStatus.
constexpr int kReadOrderSlots[6] = {1, 2, 3, 0, 4, 5};  // switches 2, 8, 9, 1, 10, 11

std::string SwitchReplyFailure(int switchNumber) {
    char text[256];
    std::snprintf(text, sizeof text, kSwitchReplyFailedMessage, switchNumber);
    return text;
}

// Models 0 and 2 report their serial settings through their own queries.
void ReadSerialSettings(ReplyReader& reader, PrinterInfo& info, ExchangeSink& sink) {
    ReplyBuffer buffer{};
    reader.Write(protocol::SerialSettingQuery(protocol::kItemBaudRate));
    const std::string baud = reader.ReadSetting(buffer, protocol::kItemBaudRate);
    sink.StepProgress();
    for (std::size_t i = 0; i < kQueriedBaudTexts.size(); ++i) {
        if (baud == kQueriedBaudTexts[i]) {
            info.baudIndex = static_cast<int>(i);
            break;
        }
    }

    const auto firstCharacterOf = [&](std::uint8_t item) {
        reader.Write(protocol::SerialSettingQuery(item));
        sink.StepProgress();
        const std::string value = reader.ReadSetting(buffer, item);
        sink.StepProgress();
        return value.empty() ? '\0' : value[0];
    };
    info.parityIndex = firstCharacterOf(protocol::kItemParity) - '0';
    info.flowControlIndex = firstCharacterOf(protocol::kItemFlowControl) - '0';
    const char dataBits = firstCharacterOf(protocol::kItemDataBits);
    if (dataBits == '7') info.dataBitsIndex = 0;
    if (dataBits == '8') info.dataBitsIndex = 1;
}

}  // namespace

ExchangeResult GetStatus(const StatusConnection& connection, PrinterStatus& status,
                         PrinterInfo& info, ExchangeSink& sink) {
    if (!IdentifyPrinter(connection, info, sink)) return ExchangeResult::IdentifyFailed;
    ReplyReader reader(connection.port, protocol::ReadModeFor(connection.portKind));
    const bool byteMode = reader.mode() == ReadMode::Byte;
    sink.SetProgress(0);

    // Fill a copy: a garbled reply must not leave half a run in the record.
    PrinterStatus read = status;
    ReplyBuffer buffer{};
    bool first = true;
    for (const int slot : kReadOrderSlots) {
        const int number = kSwitchNumbers[static_cast<std::size_t>(slot)];
        reader.Write(protocol::MemorySwitchQuery(static_cast<std::uint8_t>(number)));
        const auto reply = reader.ReadSwitch(buffer, first, [&sink] { sink.StepProgress(); });
        first = false;
        if (!reply.IsValid()) {
            if (byteMode) reader.Drain();
            reader.Write(protocol::kSelectPeripheralDevice);
            sink.SetProgress(0);
            sink.ShowMessage(SwitchReplyFailure(number), MessageIcon::Exclamation);
            return ExchangeResult::Failed;
        }
        auto& pins = read.switches[static_cast<std::size_t>(slot)].pins;
        for (int p = 1; p <= 8; ++p) {
            pins[static_cast<std::size_t>(p)] = reply.PinValue(p);
            sink.StepProgress();
        }
    }
    status = read;

    if (connection.model == 1) {
        const SerialSettingsIndexes decoded = DecodeSerialSettings(status);
        sink.StepProgress();
        info.baudIndex = decoded.baud;
        sink.StepProgress();
        info.parityIndex = decoded.parity;
        sink.StepProgress();
        info.flowControlIndex = decoded.flowControl;
        sink.StepProgress();
        info.dataBitsIndex = decoded.dataBits;
    } else if (connection.model == 0 || connection.model == 2) {
        ReadSerialSettings(reader, info, sink);
    }

    if (byteMode) reader.Drain();
    reader.Write(protocol::kSelectPeripheralDevice);
    sink.StepProgress();
    sink.SetProgress(100);
    sink.ShowMessage("Success to get status of printer.", MessageIcon::Information);
    return ExchangeResult::Success;
}

}  // namespace talq::status
