#include "setup/self_test.h"

#include "platform/platform.h"
#include "protocol/commands.h"

namespace talq::setup {

int SelfTest(link::PrinterPort& port) {
    const int written =
        port.Write(protocol::kTestPrint.data(), static_cast<int>(protocol::kTestPrint.size()));
    platform::Current().Pause(kSelfTestPauseMs);
    return written;
}

}  // namespace talq::setup
