#include "platform/win32/device_change_window.h"

#include <dbt.h>
#include <initguid.h>
#include <usbiodef.h>

#include "platform/win32/window_fault.h"

namespace talq::platform::win32 {
namespace {

constexpr char kWindowClass[] = "TalqUsbNotifyWindow";

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE) {
        auto* self =
            reinterpret_cast<DeviceChangeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        // The listener's fault goes to the loop that delivered the notice, past the system's
        // frames; the removal it may have been asked about is not held up.
        try {
            if (self != nullptr) return self->OnDeviceChange(wParam, lParam);
        } catch (...) {
            KeepWindowFault(std::current_exception());
            return TRUE;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::unique_ptr<DeviceChangeWindow> DeviceChangeWindow::Create() {
    if (!RegisterWindowClass()) return nullptr;
    const HWND window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return nullptr;
    std::unique_ptr<DeviceChangeWindow> self(new DeviceChangeWindow(window));
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self.get()));

    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
    self->interfaceNotification_ =
        RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (self->interfaceNotification_ == nullptr) return nullptr;
    return self;
}

DeviceChangeWindow::~DeviceChangeWindow() {
    for (const auto& [handle, watched] : handles_) {
        UnregisterDeviceNotification(watched.notification);
    }
    if (interfaceNotification_ != nullptr) UnregisterDeviceNotification(interfaceNotification_);
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

bool DeviceChangeWindow::WatchHandle(DeviceHandle handle, const std::string& path) {
    UnwatchHandle(handle);
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = reinterpret_cast<HANDLE>(handle);
    const HDEVNOTIFY notification =
        RegisterDeviceNotificationA(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (notification == nullptr) return false;
    handles_[handle] = {notification, path};
    return true;
}

void DeviceChangeWindow::UnwatchHandle(DeviceHandle handle) {
    const auto found = handles_.find(handle);
    if (found == handles_.end()) return;
    UnregisterDeviceNotification(found->second.notification);
    handles_.erase(found);
}

LRESULT DeviceChangeWindow::OnDeviceChange(WPARAM eventType, LPARAM data) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (header == nullptr || !listener_) return TRUE;
    UsbEvent event;
    if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
        if (record->dbcc_classguid != GUID_DEVINTERFACE_USB_DEVICE) return TRUE;
        event.isUsbDevice = true;
        event.syspath = record->dbcc_name;
        event.devnode = record->dbcc_name;
        if (eventType == DBT_DEVICEARRIVAL) {
            event.action = "add";
        } else if (eventType == DBT_DEVICEREMOVECOMPLETE) {
            event.action = "remove";
        } else {
            return TRUE;
        }
    } else if (header->dbch_devicetype == DBT_DEVTYP_HANDLE) {
        const auto* record = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(header);
        const auto found = handles_.find(reinterpret_cast<DeviceHandle>(record->dbch_handle));
        if (found == handles_.end()) return TRUE;
        event.devnode = found->second.path;
        event.syspath = found->second.path;
        if (eventType == DBT_DEVICEQUERYREMOVE) {
            event.action = "query-remove";
        } else if (eventType == DBT_DEVICEREMOVEPENDING || eventType == DBT_DEVICEREMOVECOMPLETE) {
            event.action = "remove";
        } else {
            return TRUE;
        }
    } else {
        return TRUE;
    }
    // Copied: a notice may end this very monitor's listener.
    const UsbEventListener listener = listener_;
    return static_cast<LRESULT>(listener(event));
}

}  // namespace talq::platform::win32
