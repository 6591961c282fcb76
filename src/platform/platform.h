// The one narrow interface to the operating system: device I/O with the
// communication time-out semantics the printer link relies on, and pauses.
// Installed process-wide, the way an operating system is: the program runs on
// the POSIX backend, tests on a virtual-time backend that hosts simulated
// devices. Nothing above this layer knows which one it talks to.
#pragma once

#include <cstdint>
#include <string>

namespace talq::platform {

// Opaque device handle. kNoDevice stands for "none".
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kNoDevice = -1;

// Read and write time-outs in milliseconds, in the order of the connection
// record. A read ends when `count` bytes have arrived, when more than
// readIntervalMs pass between two bytes, or readTotalMultiplierMs * count +
// readTotalConstantMs after it began, whichever comes first. All-zero read
// values mean "no time-outs set": the device decides (see Read).
struct CommTimeouts {
    std::uint32_t readIntervalMs = 0;
    std::uint32_t readTotalMultiplierMs = 0;
    std::uint32_t readTotalConstantMs = 0;
    std::uint32_t writeTotalMultiplierMs = 0;
    std::uint32_t writeTotalConstantMs = 0;
};

// Line settings of a serial device, coded as the connection record codes them.
struct LineSettings {
    int baudRate = 19200;
    int dataBits = 8;
    int stopBits = 0;     // 0 one, 1 one and a half, 2 two
    int parity = 0;       // 0 none, 1 odd, 2 even
    int flowControl = 0;  // 0 hardware (CTS/DSR, DTR on, RTS off); non-zero XON/XOFF
};

// Outcome of one transfer: whether the platform reported success, and how many
// bytes it reports as moved (which may be non-zero on failure).
struct IoResult {
    bool ok = false;
    int count = 0;
    bool hangUp = false;  // the other end went away (told apart from silence)
};

class Platform {
public:
    virtual ~Platform() = default;

    // Opens an existing device for reading and writing, for this process
    // alone. Returns kNoDevice when it does not exist or someone holds it.
    virtual DeviceHandle OpenDevice(const std::string& path) = 0;
    virtual void CloseDevice(DeviceHandle device) = 0;

    // Applies serial line settings; false when the device refuses any of them.
    virtual bool ApplyLineSettings(DeviceHandle device, const LineSettings& settings) = 0;
    virtual bool SetTimeouts(DeviceHandle device, const CommTimeouts& timeouts) = 0;
    // Discards pending input and output.
    virtual bool Purge(DeviceHandle device) = 0;
    // Pushes buffered output to the device.
    virtual bool Flush(DeviceHandle device) = 0;
    // Cancels transfers pending on the device (transfers are synchronous, so
    // there is nothing to cancel on POSIX).
    virtual void CancelIo(DeviceHandle device) = 0;

    // Writes until all bytes are out or the device stops taking them for
    // longer than kWriteStallMs.
    virtual IoResult Write(DeviceHandle device, const std::uint8_t* data, int count) = 0;
    // Reads under the device's time-outs. With no read time-outs set (USB),
    // the read waits at most kUntimedReadMs for the first bytes and returns
    // what one transfer brings.
    virtual IoResult Read(DeviceHandle device, std::uint8_t* buffer, int count) = 0;

    // A plain pause of the calling thread.
    virtual void Pause(int milliseconds) = 0;

    // Monotonic milliseconds, for measuring; virtual in tests.
    virtual std::int64_t NowMs() = 0;
};

// How long a write may make no progress (a printer holding CTS/DSR inactive)
// before it gives up and reports the count written so far.
inline constexpr int kWriteStallMs = 5000;
// How long a read without time-outs waits for the first bytes.
inline constexpr int kUntimedReadMs = 1000;

// The installed platform. The POSIX backend is installed unless a test
// installs another one.
Platform& Current();
// Installs `platform` (not owned) and returns the one it replaces. nullptr
// restores the POSIX backend.
Platform* Install(Platform* platform);

// Maps a port name to its device node: COMn and LPTn as port_mapping.h says
// (the environment, the ports files, then the system's default such as
// /dev/ttyS(n-1), or the name itself on Windows), a mapping to a USB identity
// name ("usb:serial=A1B2C3") to the node of the one device it names now, and
// a direct name (DirectPortName) to its device. Any other name is a device
// path already.
std::string DevicePathForPort(const std::string& portName);

// A name of the COM (serial) or LPT kind that opens `device` itself, whatever
// the mappings say: how a port found by its USB identity is handed to the link.
std::string DirectPortName(bool serial, const std::string& device);

}  // namespace talq::platform
