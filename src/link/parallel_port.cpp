#include "link/parallel_port.h"

namespace talq::link {

ParallelPort::~ParallelPort() { ReleaseDevice(); }

int ParallelPort::SetSettings(const PortSettings& settings) {
    timeouts = settings.timeouts;
    if (settings.portName.empty() || settings.portName.compare(0, 3, "LPT") != 0) return 0;
    name = settings.portName;
    return 1;
}

int ParallelPort::Open() {
    if (handle != platform::kNoDevice) return isOpen ? 1 : 0;
    auto& os = platform::Current();
    handle = os.OpenDevice(platform::DevicePathForPort(name));
    if (handle == platform::kNoDevice) return 0;
    // A printer node may refuse any of these; it is still usable.
    os.SetTimeouts(handle, timeouts);
    os.Purge(handle);
    os.Flush(handle);
    isOpen = true;
    return 1;
}

int ParallelPort::Read(std::uint8_t* buffer, int count) {
    if (!isOpen || buffer == nullptr || count <= 0) return 0;
    const auto result = ReadLocked(buffer, count);
    return result.ok ? result.count : 0;
}

void ParallelPort::Close() {
    if (handle != platform::kNoDevice) platform::Current().CancelIo(handle);
    ReleaseDevice();
    isOpen = false;
}

}  // namespace talq::link
