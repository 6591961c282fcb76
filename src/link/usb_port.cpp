#include "link/usb_port.h"

#include "platform/system_family.h"

namespace talq::link {

bool IsWin9xFamily() {
    return platform::IsWin9xFamily();
}

UsbPort::~UsbPort() {
    notifyWindow.Destroy();
    // A port destroyed unclosed does not keep the printer from others.
    CloseDevice();
}

int UsbPort::SetSettings(const PortSettings& settings) {
    if (settings.portName.empty()) return 0;
    devicePath = settings.portName;
    return 1;
}

int UsbPort::Open() {
    if (deviceHandle != platform::kNoDevice) return isOpen ? 1 : 0;
    notifyWindow.Create();  // without it no registration succeeds, below
    if (ReopenDevice() == 0) return 0;
    if (interfaceWatchPending) {
        interfaceWatchPending = false;
        interfaceNotification = notifyWindow.RegisterInterfaceNotification();
        if (interfaceNotification == kNoNotification) {
            CloseDevice();
            return 0;
        }
    }
    isOpen = true;
    deviceState = 1;
    return 1;
}

int UsbPort::ReopenDevice() {
    std::lock_guard lock(ioLock);
    CloseDevice();
    deviceHandle = platform::Current().OpenDevice(devicePath);
    if (deviceHandle == platform::kNoDevice) return 0;
    notifyWindow.owner = this;
    // A registration left from an earlier handle watches a closed one.
    notifyWindow.UnregisterNotification(handleNotification);
    handleNotification = notifyWindow.RegisterHandleNotification(deviceHandle, devicePath);
    return 1;
}

void UsbPort::CloseDevice() {
    std::lock_guard lock(ioLock);
    if (deviceHandle == platform::kNoDevice) return;
    platform::Current().CloseDevice(deviceHandle);
    deviceHandle = platform::kNoDevice;
}

int UsbPort::Write(const std::uint8_t* data, int count) {
    if (!isOpen || data == nullptr || count <= 0) return 0;
    std::lock_guard lock(ioLock);
    if (deviceHandle == platform::kNoDevice) return 0;  // removed
    return platform::Current().Write(deviceHandle, data, count).count;
}

int UsbPort::Read(std::uint8_t* buffer, int count) {
    if (!isOpen || buffer == nullptr || count <= 0) return 0;
    std::lock_guard lock(ioLock);
    if (deviceHandle == platform::kNoDevice) return 0;  // removed
    return platform::Current().Read(deviceHandle, buffer, count).count;
}

void UsbPort::Close() {
    if (deviceHandle != platform::kNoDevice) platform::Current().CancelIo(deviceHandle);
    notifyWindow.UnregisterNotification(handleNotification);
    handleNotification = kNoNotification;
    notifyWindow.UnregisterNotification(interfaceNotification);
    interfaceNotification = kNoNotification;
    notifyWindow.Destroy();
    CloseDevice();
    isOpen = false;
}

}  // namespace talq::link
