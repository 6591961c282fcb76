#include "link/serial_port.h"

namespace talq::link {

LinePort::~LinePort() = default;

int LinePort::Write(const std::uint8_t* data, int count) {
    if (!isOpen || data == nullptr || count <= 0) return 0;
    std::lock_guard lock(ioLock);
    return platform::Current().Write(handle, data, count).count;
}

platform::IoResult LinePort::ReadLocked(std::uint8_t* buffer, int count) {
    std::lock_guard lock(ioLock);
    return platform::Current().Read(handle, buffer, count);
}

void LinePort::ReleaseDevice() {
    if (handle == platform::kNoDevice) return;
    platform::Current().CloseDevice(handle);
    handle = platform::kNoDevice;
}

}  // namespace talq::link
