#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <mutex>
#include <set>

#include "platform/port_devices.h"
#include "platform/win32/dcb_settings.h"
#include "platform/win32/utf8.h"

namespace talq::platform::win32 {
namespace {

thread_local OpenFailure lastOpenFailure;

bool Failed(OpenStep step) {
    lastOpenFailure = {step, GetLastError()};
    return false;
}

// Handles opened for overlapped transfers: the devices that are neither COM nor LPT ports (the
// USB printers), whose driver applies no time-outs of ours. Their transfers are bounded here,
// as on every system: a read by kUntimedReadMs, a write by kWriteStallMs.
std::mutex overlappedMutex;
std::set<HANDLE> overlappedHandles;

bool IsOverlapped(HANDLE handle) {
    std::lock_guard lock(overlappedMutex);
    return overlappedHandles.count(handle) != 0;
}

// One transfer of an overlapped handle, cancelled once it has taken `boundMs`; what it moved
// before the cancel counts. False with the system's error when the transfer failed.
bool BoundedTransfer(HANDLE handle, bool write, void* buffer, DWORD count, DWORD boundMs,
                     DWORD& moved, DWORD& error) {
    OVERLAPPED transfer{};
    transfer.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (transfer.hEvent == nullptr) {
        error = GetLastError();
        return false;
    }
    const BOOL started = write ? WriteFile(handle, buffer, count, nullptr, &transfer)
                               : ReadFile(handle, buffer, count, nullptr, &transfer);
    error = started ? ERROR_SUCCESS : GetLastError();
    bool ok = started != 0;
    if (started || error == ERROR_IO_PENDING) {
        if (WaitForSingleObject(transfer.hEvent, boundMs) == WAIT_TIMEOUT) {
            CancelIoEx(handle, &transfer);
        }
        ok = GetOverlappedResult(handle, &transfer, &moved, TRUE) != 0;
        error = ok ? ERROR_SUCCESS : GetLastError();
        // Cancelled at the bound: not a failure, just what came in time.
        if (!ok && error == ERROR_OPERATION_ABORTED) ok = true;
    }
    CloseHandle(transfer.hEvent);
    return ok;
}

HANDLE HandleOf(DeviceHandle device) {
    return reinterpret_cast<HANDLE>(device);
}

// A bare COM or LPT name (from a mapping) opens in the device namespace, which
// is what lets COM10 and above open.
std::string DeviceName(const std::string& path) {
    const std::string name = SystemDeviceName(path);
    return name.empty() ? path : "\\\\.\\" + name;
}

// Whether a failed transfer means the device went away. With fAbortOnError a line error
// (framing, parity, overrun, break) also fails every transfer with "operation aborted" until
// ClearCommError: that is cleared here and taken for a failed transfer, not an unplugged printer.
bool Disconnected(HANDLE handle, DWORD error) {
    if (error == ERROR_OPERATION_ABORTED) {
        DWORD errors = 0;
        COMSTAT state{};
        return !ClearCommError(handle, &errors, &state);  // fails once the device is gone
    }
    return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_BAD_COMMAND ||
           error == ERROR_GEN_FAILURE || error == ERROR_INVALID_HANDLE;
}

}  // namespace

OpenFailure LastOpenFailure() {
    return lastOpenFailure;
}

DeviceHandle Win32Platform::OpenDevice(const std::string& path) {
    if (path.empty()) {
        lastOpenFailure = {OpenStep::Open, ERROR_FILE_NOT_FOUND};
        return kNoDevice;
    }
    const bool overlapped = SystemDeviceName(path).empty();
    // Share mode 0: no other program may hold the port while we do.
    const HANDLE handle = CreateFileW(
        Utf8ToWide(DeviceName(path)).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | (overlapped ? FILE_FLAG_OVERLAPPED : 0), nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        Failed(OpenStep::Open);
        return kNoDevice;
    }
    lastOpenFailure = {};
    if (overlapped) {
        std::lock_guard lock(overlappedMutex);
        overlappedHandles.insert(handle);
    }
    // INVALID_HANDLE_VALUE is -1, kNoDevice, and never a handle that opened.
    return reinterpret_cast<DeviceHandle>(handle);
}

void Win32Platform::CloseDevice(DeviceHandle device) {
    if (device == kNoDevice) return;
    {
        std::lock_guard lock(overlappedMutex);
        overlappedHandles.erase(HandleOf(device));
    }
    CloseHandle(HandleOf(device));
}

bool Win32Platform::ApplyLineSettings(DeviceHandle device, const LineSettings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(HandleOf(device), &dcb)) return Failed(OpenStep::ReadLine);
    ApplyToDcb(settings, dcb);
    return SetCommState(HandleOf(device), &dcb) != 0 || Failed(OpenStep::SetLine);
}

bool Win32Platform::SetTimeouts(DeviceHandle device, const CommTimeouts& timeouts) {
    COMMTIMEOUTS comm = ToCommTimeouts(timeouts);
    return SetCommTimeouts(HandleOf(device), &comm) != 0 || Failed(OpenStep::SetLine);
}

bool Win32Platform::Purge(DeviceHandle device) {
    return PurgeComm(HandleOf(device),
                     PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) != 0;
}

bool Win32Platform::Flush(DeviceHandle device) {
    return FlushFileBuffers(HandleOf(device)) != 0;
}

void Win32Platform::CancelIo(DeviceHandle device) {
    if (device != kNoDevice) ::CancelIo(HandleOf(device));
}

IoResult Win32Platform::Write(DeviceHandle device, const std::uint8_t* data, int count) {
    IoResult result;
    if (device == kNoDevice) return result;
    // Each WriteFile ends within the write time-out (kWriteStallMs at most,
    // ToCommTimeouts); one that moves nothing ends the write.
    const bool overlapped = IsOverlapped(HandleOf(device));
    while (result.count < count) {
        DWORD written = 0;
        DWORD error = ERROR_SUCCESS;
        void* from = const_cast<std::uint8_t*>(data + result.count);
        const DWORD left = static_cast<DWORD>(count - result.count);
        const bool ok =
            overlapped
                ? BoundedTransfer(HandleOf(device), true, from, left, kWriteStallMs, written, error)
                : WriteFile(HandleOf(device), from, left, &written, nullptr) != 0;
        if (!ok && !overlapped) error = GetLastError();
        result.count += static_cast<int>(written);
        if (!ok) {
            result.hangUp = Disconnected(HandleOf(device), error);
            return result;
        }
        if (written == 0) return result;
    }
    result.ok = true;
    return result;
}

IoResult Win32Platform::Read(DeviceHandle device, std::uint8_t* buffer, int count) {
    IoResult result;
    if (device == kNoDevice) return result;
    DWORD got = 0;
    DWORD error = ERROR_SUCCESS;
    if (IsOverlapped(HandleOf(device))) {
        result.ok = BoundedTransfer(HandleOf(device), false, buffer, static_cast<DWORD>(count),
                                    kUntimedReadMs, got, error);
    } else {
        result.ok = ReadFile(HandleOf(device), buffer, static_cast<DWORD>(count), &got, nullptr);
        if (!result.ok) error = GetLastError();
    }
    result.count = static_cast<int>(got);
    if (!result.ok) result.hangUp = Disconnected(HandleOf(device), error);
    return result;
}

void Win32Platform::Pause(int milliseconds) {
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

std::int64_t Win32Platform::NowMs() {
    return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace talq::platform::win32
