#include "link/serial_port.h"

namespace talq::link {

SerialPort::~SerialPort() { ReleaseDevice(); }

int SerialPort::SetSettings(const PortSettings& settings) {
    baudRate = settings.baudRate;
    dataBits = settings.dataBits;
    stopBits = settings.stopBits;
    parity = settings.parity;
    flowControl = settings.flowControl;
    timeouts = settings.timeouts;
    if (settings.portName.empty()) return 0;
    name = settings.portName;
    return 1;
}

int SerialPort::Open() {
    if (handle != platform::kNoDevice) return isOpen ? 1 : 0;
    auto& os = platform::Current();
    handle = os.OpenDevice(platform::DevicePathForPort(name));
    if (handle == platform::kNoDevice) return 0;
    const platform::LineSettings line{baudRate, dataBits, stopBits, parity, flowControl};
    if (!os.ApplyLineSettings(handle, line) || !os.SetTimeouts(handle, timeouts)) {
        // Nothing relies on a half-opened device staying held; holding it
        // would only keep other programs out.
        ReleaseDevice();
        return 0;
    }
    os.Purge(handle);
    isOpen = true;
    return 1;
}

int SerialPort::Read(std::uint8_t* buffer, int count) {
    if (!isOpen || buffer == nullptr || count <= 0) return 0;
    return ReadLocked(buffer, count).count;
}

void SerialPort::Close() {
    ReleaseDevice();
    isOpen = false;
}

}  // namespace talq::link
