#include <algorithm>
#include <string>

#include "protocol/commands.h"
#include "status/status_exchanges.h"

namespace talq::status {

using protocol::ReplyReader;

namespace {

bool AllPinsSet(const MemorySwitch& memorySwitch) {
    return std::all_of(memorySwitch.pins.begin() + 1, memorySwitch.pins.end(),
                       [](std::int32_t pin) { return pin != 0; });
}

}  // namespace

ExchangeResult SetStatus(const StatusConnection& connection, const PrinterStatus& status,
                         PrinterInfo& info, ExchangeSink& sink) {
    if (!IdentifyPrinter(connection, info, sink)) return ExchangeResult::IdentifyFailed;
    ReplyReader reader(connection.port, protocol::ReadModeFor(connection.portKind));
    sink.SetProgress(0);

    // A printer that stops taking commands must not end in "Success"; and it
    // must not be left in its user setting mode if it can still be told.
    const auto fail = [&](bool stillInSettingMode) {
        if (stillInSettingMode) reader.Write(protocol::kEndUserSettingMode);
        sink.SetProgress(0);
        sink.ShowMessage(kSetStatusWriteFailedMessage, MessageIcon::Exclamation);
        return ExchangeResult::Failed;
    };
    const auto sent = [&](auto command) {
        return reader.Write(command) == static_cast<int>(command.size());
    };

    if (!sent(protocol::kEnterUserSettingMode)) return fail(true);
    std::array<std::uint8_t, 16> commandBuffer{};
    reader.ReadModeReply(commandBuffer);
    sink.StepProgress();

    for (std::size_t slot = 0; slot < status.switches.size(); ++slot) {
        const int number = kSwitchNumbers[slot];
        const auto& memorySwitch = status.switches[slot];
        if ((number == 8 || number == 10 || number == 11) && AllPinsSet(memorySwitch)) {
            sink.ShowMessage("The Memory Switch " + std::to_string(number) + " doesn't set up!!",
                             MessageIcon::Exclamation);
        }
        if (!sent(protocol::BuildSetMemorySwitch(static_cast<std::uint8_t>(number),
                                                 memorySwitch.pins))) {
            return fail(true);
        }
        sink.StepProgress();
    }

    if (!sent(protocol::kEndUserSettingMode)) return fail(true);
    reader.Pause(100);
    if (!sent(protocol::kSelectPeripheralDevice)) return fail(false);
    for (int i = 0; i < 2; ++i) {
        sink.StepProgress();
        reader.Pause(1000);
        sink.StepProgress();
    }
    sink.SetProgress(100);
    sink.ShowMessage("Success to set status of printer", MessageIcon::Information);
    sink.SetProgress(0);
    return ExchangeResult::Success;
}

}  // namespace talq::status
