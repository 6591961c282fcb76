#include "link/usb_notify_window.h"

#include "link/usb_port.h"

namespace talq::link {
namespace {

constexpr int kMaxEventsPerTurn = 64;

}  // namespace

UsbNotifyWindow::~UsbNotifyWindow() = default;

bool UsbNotifyWindow::Create() {
    if (monitor_) return true;
    monitor_ = platform::CurrentUsbBus().Watch();
    if (!monitor_) return false;
    monitor_->SetListener([this](const platform::UsbEvent& event) { return Deliver(event); });
    return true;
}

void UsbNotifyWindow::Destroy() {
    monitor_.reset();
}

int UsbNotifyWindow::fd() const {
    return monitor_ ? monitor_->fd() : -1;
}

void UsbNotifyWindow::OnReadable() {
    // Receive never blocks and takes an event off the socket each time; what
    // is left after a burst keeps the descriptor readable for the next turn.
    for (int delivered = 0; monitor_ && delivered < kMaxEventsPerTurn; ++delivered) {
        const auto event = monitor_->Receive();
        if (!event) break;
        Deliver(*event);
    }
}

std::uint32_t UsbNotifyWindow::Deliver(const platform::UsbEvent& event) {
    // Copy first: a notice may unregister or register while we go; one
    // unregistered meanwhile gets no notice.
    const std::vector<Registration> current = registrations_;
    std::uint32_t answer = 1;
    for (const Registration& registration : current) {
        if (!IsRegistered(registration.id)) continue;
        if (registration.deviceType == kDeviceTypeHandle) {
            const bool query = event.action == "query-remove";
            if ((!query && event.action != "remove") || event.devnode.empty() ||
                event.devnode != registration.path)
                continue;
            const DeviceChangeRecord record{kDeviceTypeHandle, registration.handle};
            if (OnDeviceChange(query ? kDeviceQueryRemove : kDeviceRemoveComplete, &record) ==
                kBroadcastQueryDeny)
                answer = kBroadcastQueryDeny;
        } else if (registration.deviceType == kDeviceTypeInterface) {
            const DeviceChangeRecord record{kDeviceTypeInterface, platform::kNoDevice};
            if (event.action == "add" && (event.isUsbDevice || event.isPrinterNode)) {
                OnDeviceChange(kDeviceArrival, &record);
            } else if (event.action == "remove" && event.isUsbDevice) {
                OnDeviceChange(kDeviceRemoveComplete, &record);
            }
        }
    }
    return answer;
}

NotificationId UsbNotifyWindow::RegisterInterfaceNotification() {
    if (!exists()) return kNoNotification;
    registrations_.push_back({nextId_, kDeviceTypeInterface, platform::kNoDevice, {}});
    return nextId_++;
}

NotificationId UsbNotifyWindow::RegisterHandleNotification(platform::DeviceHandle handle,
                                                           const std::string& path) {
    if (!exists() || handle == platform::kNoDevice) return kNoNotification;
    if (!monitor_->WatchHandle(handle, path)) return kNoNotification;
    registrations_.push_back({nextId_, kDeviceTypeHandle, handle, path});
    return nextId_++;
}

bool UsbNotifyWindow::IsRegistered(NotificationId id) const {
    for (const Registration& registration : registrations_) {
        if (registration.id == id) return true;
    }
    return false;
}

bool UsbNotifyWindow::UnregisterNotification(NotificationId id) {
    if (id == kNoNotification) return false;
    for (auto it = registrations_.begin(); it != registrations_.end(); ++it) {
        if (it->id == id) {
            if (it->deviceType == kDeviceTypeHandle && monitor_) monitor_->UnwatchHandle(it->handle);
            registrations_.erase(it);
            return true;
        }
    }
    return false;
}

std::uint32_t UsbNotifyWindow::OnDeviceChange(unsigned eventType,
                                              const DeviceChangeRecord* record) {
    if (record == nullptr || owner == nullptr) return 1;
    UsbPort& port = *owner;

    // Any notice while the device is gone is a chance that it is back.
    if (port.deviceState == -1 && port.ReopenDevice() == 1) port.deviceState = 1;

    if (record->deviceType == kDeviceTypeInterface) {
        // Which device arrived does not matter: it may be ours.
        if (eventType == kDeviceArrival && port.deviceState == -1 && port.ReopenDevice() == 1) {
            port.deviceState = 1;
        }
        return 1;
    }
    if (record->deviceType != kDeviceTypeHandle) return 1;
    if (record->handle != port.deviceHandle) return 1;

    switch (eventType) {
        case kDeviceQueryRemove:
            return kBroadcastQueryDeny;
        case kDeviceRemovePending:
        case kDeviceRemoveComplete:
            if (port.handleNotification != kNoNotification) {
                if (!IsWin9xFamily()) UnregisterNotification(port.handleNotification);
                port.handleNotification = kNoNotification;
            }
            if (port.isOpen) port.CloseDevice();
            port.deviceState = -1;
            return 1;
        default:
            return 1;
    }
}

}  // namespace talq::link
