// A connection to a printer on a COM port: exclusive open, the record's line
// settings and time-outs, then plain synchronous transfers.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "link/port_settings.h"
#include "platform/platform.h"

namespace talq::link {

// What the serial and parallel ports share: the members, the write, and the
// read that both perform (they differ only in what a failed read returns).
class LinePort {
public:
    virtual ~LinePort();
    LinePort(const LinePort&) = delete;
    LinePort& operator=(const LinePort&) = delete;

    int Write(const std::uint8_t* data, int count);

    std::string name;
    int baudRate = 0;
    int dataBits = 0;
    int stopBits = 0;
    int parity = 0;
    int flowControl = 0;
    platform::CommTimeouts timeouts{};
    platform::DeviceHandle handle = platform::kNoDevice;
    bool isOpen = false;
    std::recursive_mutex ioLock;

protected:
    LinePort() = default;
    platform::IoResult ReadLocked(std::uint8_t* buffer, int count);
    // Releases the device; used by Close and by an Open that failed half-way.
    void ReleaseDevice();
};

class SerialPort final : public LinePort {
public:
    SerialPort() = default;
    ~SerialPort() override;

    int SetSettings(const PortSettings& settings);
    int Open();
    int Read(std::uint8_t* buffer, int count);
    void Close();
};

}  // namespace talq::link
