// What the printer reports about itself besides its memory switches: the
// texts and serial-setting indexes that the printer setting page shows.
#pragma once

#include <string>

namespace talq::status {

struct PrinterInfo {
    std::string firmwareVersion;
    std::string modelName;
    int baudIndex = -1;  // -1: no selection
    int dataBitsIndex = -1;
    int parityIndex = -1;
    int flowControlIndex = -1;

    bool operator==(const PrinterInfo&) const = default;
};

}  // namespace talq::status
