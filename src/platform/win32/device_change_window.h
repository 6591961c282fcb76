// The USB monitor of Windows: a message-only window of the thread that makes
// it, registered for arrivals of the USB-device interface class and, when
// asked, for the open handles; its procedure turns WM_DEVICECHANGE into
// events for the listener and returns the listener's answer to the system.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "platform/usb_bus.h"

namespace talq::platform::win32 {

class DeviceChangeWindow final : public UsbMonitor {
  public:
    // nullptr when the window or its class registration cannot be had.
    static std::unique_ptr<DeviceChangeWindow> Create();
    ~DeviceChangeWindow() override;

    int fd() const override { return -1; }
    std::optional<UsbEvent> Receive() override { return std::nullopt; }
    void SetListener(UsbEventListener listener) override { listener_ = std::move(listener); }
    bool WatchHandle(DeviceHandle handle, const std::string& path) override;
    void UnwatchHandle(DeviceHandle handle) override;

    HWND window() const { return window_; }
    LRESULT OnDeviceChange(WPARAM eventType, LPARAM data);

  private:
    struct WatchedHandle {
        HDEVNOTIFY notification;
        std::string path;
    };

    explicit DeviceChangeWindow(HWND window) : window_(window) {}

    HWND window_;
    HDEVNOTIFY interfaceNotification_ = nullptr;
    std::map<DeviceHandle, WatchedHandle> handles_;
    UsbEventListener listener_;
};

}  // namespace talq::platform::win32
