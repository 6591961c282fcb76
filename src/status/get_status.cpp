#include <cstdio>
#include <optional>

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

// Ends a run that the printer's replies broke off: the printer is released as
// after a whole run, and the caller leaves the record and info as they were.
ExchangeResult FailRun(ReplyReader& reader, ExchangeSink& sink, const std::string& message) {
    if (reader.mode() == ReadMode::Byte) reader.Drain();
    reader.Write(protocol::kSelectPeripheralDevice);
    sink.SetProgress(0);
    sink.ShowMessage(message, MessageIcon::Exclamation);
    return ExchangeResult::Failed;
}

// Models 0 and 2 report their serial settings through their own queries.
// False when a query got no reply at all (silence or a hang-up): a printer
// that answers with a value outside the lists still counts as answering.
bool ReadSerialSettings(ReplyReader& reader, PrinterInfo& info, ExchangeSink& sink) {
    ReplyBuffer buffer{};
    int received = 0;
    reader.Write(protocol::SerialSettingQuery(protocol::kItemBaudRate));
    const std::string baud = reader.ReadSetting(buffer, protocol::kItemBaudRate, &received);
    sink.StepProgress();
    if (received == 0) return false;
    for (std::size_t i = 0; i < kQueriedBaudTexts.size(); ++i) {
        if (baud == kQueriedBaudTexts[i]) {
            info.baudIndex = static_cast<int>(i);
            break;
        }
    }

    // The first character of the value, or nothing when no byte arrived.
    const auto firstCharacterOf = [&](std::uint8_t item) -> std::optional<char> {
        reader.Write(protocol::SerialSettingQuery(item));
        sink.StepProgress();
        const std::string value = reader.ReadSetting(buffer, item, &received);
        sink.StepProgress();
        if (received == 0) return std::nullopt;
        return value.empty() ? '\0' : value[0];
    };
    const auto parity = firstCharacterOf(protocol::kItemParity);
    if (!parity) return false;
    info.parityIndex = *parity - '0';
    const auto flowControl = firstCharacterOf(protocol::kItemFlowControl);
    if (!flowControl) return false;
    info.flowControlIndex = *flowControl - '0';
    const auto dataBits = firstCharacterOf(protocol::kItemDataBits);
    if (!dataBits) return false;
    if (*dataBits == '7') info.dataBitsIndex = 0;
    if (*dataBits == '8') info.dataBitsIndex = 1;
    return true;
}

}  // namespace

ExchangeResult GetStatus(const StatusConnection& connection, PrinterStatus& status,
                         PrinterInfo& info, ExchangeSink& sink) {
    if (!IdentifyPrinter(connection, info, sink)) return ExchangeResult::IdentifyFailed;
    ReplyReader reader(connection.port, protocol::ReadModeFor(connection.portKind));
    sink.SetProgress(0);

    // Fill copies: a broken-off run must not leave half its values behind.
    PrinterStatus read = status;
    PrinterInfo readInfo = info;
    ReplyBuffer buffer{};
    bool first = true;
    for (const int slot : kReadOrderSlots) {
        const int number = kSwitchNumbers[static_cast<std::size_t>(slot)];
        reader.Write(protocol::MemorySwitchQuery(static_cast<std::uint8_t>(number)));
        const auto reply = reader.ReadSwitch(buffer, first, [&sink] { sink.StepProgress(); });
        first = false;
        if (!reply.IsValid()) return FailRun(reader, sink, SwitchReplyFailure(number));
        auto& pins = read.switches[static_cast<std::size_t>(slot)].pins;
        for (int p = 1; p <= 8; ++p) {
            pins[static_cast<std::size_t>(p)] = reply.PinValue(p);
            sink.StepProgress();
        }
    }

    if (connection.model == 1) {
        const SerialSettingsIndexes decoded = DecodeSerialSettings(read);
        sink.StepProgress();
        readInfo.baudIndex = decoded.baud;
        sink.StepProgress();
        readInfo.parityIndex = decoded.parity;
        sink.StepProgress();
        readInfo.flowControlIndex = decoded.flowControl;
        sink.StepProgress();
        readInfo.dataBitsIndex = decoded.dataBits;
    } else if (connection.model == 0 || connection.model == 2) {
        if (!ReadSerialSettings(reader, readInfo, sink)) {
            return FailRun(reader, sink, kSerialSettingReplyFailedMessage);
        }
    }
    status = read;
    info = readInfo;

    if (reader.mode() == ReadMode::Byte) reader.Drain();
    reader.Write(protocol::kSelectPeripheralDevice);
    sink.StepProgress();
    sink.SetProgress(100);
    sink.ShowMessage("Success to get status of printer.", MessageIcon::Information);
    return ExchangeResult::Success;
}

}  // namespace talq::status
