// The exchanges behind the status dialog's Get Status and Set Status buttons,
// free of any user interface: they talk to the printer over the borrowed
// connection and report through an ExchangeSink.
#pragma once

#include "link/printer_port.h"
#include "protocol/reply_reader.h"
#include "status/exchange_sink.h"
#include "status/printer_info.h"
#include "status/printer_status.h"

namespace talq::status {

struct StatusConnection {
    link::PrinterPort& port;
    link::PortKind portKind;
    int model;  // PrinterModel: 0 "KTV-520plus", 1 "KTV-540/542", 2 "KTV-520plusF"
};

enum class ExchangeResult {
    Success,
    IdentifyFailed,  // the printer could not be identified: only Exit stays usable
    Failed,          // the run stopped part-way; the record is as it was before
};

// The model-ID byte that a printer of `model` answers with.
std::uint8_t ExpectedModelIdByte(int model);

// Resets and identifies the printer; reads its texts the first time (while
// info.firmwareVersion is empty).
bool IdentifyPrinter(const StatusConnection& connection, PrinterInfo& info, ExchangeSink& sink);
bool ReadPrinterInfo(protocol::ReplyReader& reader, int model, PrinterInfo& info,
                     ExchangeSink& sink);

// Reads the six memory switches and the serial settings. On success `status`
// and `info` hold what the printer reported and the success message is shown.
// On Failed (a garbled switch reply, a serial-setting query left unanswered)
// both are as they were; IdentifyFailed leaves `status` untouched.
ExchangeResult GetStatus(const StatusConnection& connection, PrinterStatus& status,
                         PrinterInfo& info, ExchangeSink& sink);

// Writes the six memory switches of `status` to the printer.
ExchangeResult SetStatus(const StatusConnection& connection, const PrinterStatus& status,
                         PrinterInfo& info, ExchangeSink& sink);

// Messages of our own wording for failures the printer's replies reveal.
inline constexpr const char* kSwitchReplyFailedMessage =
    "The printer's reply for memory switch %d was incomplete or garbled, so nothing was "
    "changed. Please try Get Status again.";
inline constexpr const char* kSerialSettingReplyFailedMessage =
    "The printer stopped answering while its serial settings were being read, so nothing was "
    "changed. Check the connection and press Get Status again.";
inline constexpr const char* kSetStatusWriteFailedMessage =
    "The printer stopped taking commands while its memory switches were being set, so they may "
    "be only partly written. Check the connection and press Set Status again.";

}  // namespace talq::status
