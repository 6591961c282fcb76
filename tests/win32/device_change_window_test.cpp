// The device-change window of a USB connection as Windows drives it: the
// window Watch() makes on this thread, sent and posted WM_DEVICECHANGE
// messages, and what the port does about them.
#include <gtest/gtest.h>
#include <windows.h>

#include <dbt.h>
#include <initguid.h>
#include <usbiodef.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

#include "link/usb_port.h"
#include "platform/window_messages.h"
#include "support/temp_dir.h"

namespace talq::link {
namespace {

// The record of a printer's arrival. (The system will not post one, only send it.)
struct Arrival {
    Arrival() {
        auto* arrival = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(buffer);
        arrival->dbcc_size = sizeof buffer;
        arrival->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        arrival->dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
        std::strcpy(arrival->dbcc_name, R"(\\?\usb#vid_0dd4&pid_0195#1#{a5dcbf10})");
    }
    LPARAM Record() { return reinterpret_cast<LPARAM>(buffer); }
    // The name follows the record's fixed part.
    alignas(DEV_BROADCAST_DEVICEINTERFACE_A) char buffer[sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + 64]{};
};

TEST(DeviceChangeWindow, RefusesRemovalOfTheOpenHandleAndFollowsRemovalAndReturn) {
    // A plain file stands in for the printer's interface: it opens as a
    // handle the system can be asked to watch.
    const test::TempDir dir;
    const std::string path = (dir.path() / "printer").string();
    std::ofstream(path).put('\0');
    UsbPort port;
    PortSettings settings;
    settings.portName = path;
    ASSERT_EQ(port.SetSettings(settings), 1);
    ASSERT_EQ(port.Open(), 1);
    ASSERT_NE(port.handleNotification, kNoNotification);
    const HWND window = FindWindowExA(HWND_MESSAGE, nullptr, "TalqUsbNotifyWindow", nullptr);
    ASSERT_NE(window, nullptr);

    DEV_BROADCAST_HANDLE handle{};
    handle.dbch_size = sizeof handle;
    handle.dbch_devicetype = DBT_DEVTYP_HANDLE;
    handle.dbch_handle = reinterpret_cast<HANDLE>(port.deviceHandle);
    EXPECT_EQ(SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE,
                           reinterpret_cast<LPARAM>(&handle)),
              BROADCAST_QUERY_DENY);
    EXPECT_EQ(port.deviceState, 1);

    SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(&handle));
    EXPECT_EQ(port.deviceState, -1);
    EXPECT_EQ(port.deviceHandle, platform::kNoDevice);
    EXPECT_EQ(port.handleNotification, kNoNotification);

    // An arrival opens the device again.
    Arrival arrival;
    SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, arrival.Record());
    platform::PumpWindowMessages();  // nothing waits: returns at once
    EXPECT_EQ(port.deviceState, 1);
    EXPECT_NE(port.deviceHandle, platform::kNoDevice);
    EXPECT_NE(port.handleNotification, kNoNotification);

    port.Close();
    EXPECT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, "TalqUsbNotifyWindow", nullptr), nullptr);
}

// A listener's fault stays out of the system's frames: the procedure answers, and the loop
// that delivered the notice throws it.
TEST(DeviceChangeWindow, KeepsAListenersFaultForTheLoopThatDeliveredTheNotice) {
    auto monitor = platform::CurrentUsbBus().Watch();
    ASSERT_NE(monitor, nullptr);
    monitor->SetListener(
        [](const platform::UsbEvent&) -> std::uint32_t { throw std::runtime_error("lost"); });
    const HWND window = FindWindowExA(HWND_MESSAGE, nullptr, "TalqUsbNotifyWindow", nullptr);
    ASSERT_NE(window, nullptr);
    Arrival arrival;
    EXPECT_EQ(SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, arrival.Record()), TRUE);
    EXPECT_THROW(platform::PumpWindowMessages(), std::runtime_error);
    EXPECT_NO_THROW(platform::PumpWindowMessages());  // taken once
}

}  // namespace
}  // namespace talq::link
