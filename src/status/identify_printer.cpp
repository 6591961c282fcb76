#include <cstring>

#include "protocol/commands.h"
#include "status/status_exchanges.h"

namespace talq::status {

using protocol::ReadMode;
using protocol::ReplyBuffer;
using protocol::ReplyReader;

std::uint8_t ExpectedModelIdByte(int model) { return model == 1 ? 0x2E : 0x20; }

bool ReadPrinterInfo(ReplyReader& reader, int model, PrinterInfo& info, ExchangeSink& sink) {
    if (!info.firmwareVersion.empty()) return true;  // read once per dialog
    const bool byteMode = reader.mode() == ReadMode::Byte;
    const auto step = [&sink] { sink.StepProgress(); };
    ReplyBuffer buffer{};

    if (byteMode) reader.Drain();
    reader.Write(protocol::kFirmwareVersionQuery);
    std::string firmware = reader.ReadText(buffer, step);
    if (byteMode) reader.Drain();

    if (model == 0 || model == 2) {
        // The printer's version suffix replaces everything after the first space.
        const auto space = firmware.find(' ');
        firmware = space == std::string::npos ? std::string() : firmware.substr(0, space + 1);
        reader.Write(protocol::SerialSettingQuery(protocol::kItemVersionSuffix));
        firmware += reader.ReadSetting(buffer, protocol::kItemVersionSuffix);
    }
    info.firmwareVersion = firmware;

    reader.Write(protocol::kModelNameQuery);
    info.modelName = reader.ReadText(buffer, step);
    if (byteMode) reader.Drain();

    if (info.modelName.find("KTV-") == std::string::npos) {
        sink.ShowMessage("This printer don't match our printer name.", MessageIcon::Exclamation);
        return false;
    }
    sink.PrinterTextsRead();
    return true;
}

bool IdentifyPrinter(const StatusConnection& connection, PrinterInfo& info, ExchangeSink& sink) {
    ReplyReader reader(connection.port, protocol::ReadModeFor(connection.portKind));
    const bool byteMode = reader.mode() == ReadMode::Byte;
    const std::uint8_t expected = ExpectedModelIdByte(connection.model);
    ReplyBuffer buffer{};

    bool matched = false;
    if (reader.Write(protocol::kInitialize) == 0) {
        // Nothing went out: the buffer still holds the reset command, which
        // is never a model-ID byte, so only the retries below can succeed.
        std::memcpy(buffer.data(), protocol::kInitialize.data(), protocol::kInitialize.size());
    } else {
        reader.Write(protocol::kSelectPeripheralDevice);
        if (!ReadPrinterInfo(reader, connection.model, info, sink)) {
            sink.ShowMessage("Don't use this program for other company product.",
                             MessageIcon::Exclamation);
            return false;
        }
        reader.Write(protocol::kDisableAutomaticStatusBack);
        if (byteMode) reader.Drain();
        reader.Write(protocol::kModelIdQuery);
        matched = reader.ReadModelIdByte(buffer) == expected;
    }
    if (!matched && byteMode) matched = reader.RetryModelIdByte(buffer, expected);
    if (matched) return true;

    sink.ShowMessage("Can't connect printer. Please restart printer.", MessageIcon::Information);
    sink.SetProgress(0);
    return false;
}

}  // namespace talq::status
