// A connection to a printer on an LPT port: no line settings; its write is
// the serial port's, and a failed read reports nothing.
#pragma once

#include "link/serial_port.h"

namespace talq::link {

class ParallelPort final : public LinePort {
public:
    ParallelPort() = default;
    ~ParallelPort() override;

    int SetSettings(const PortSettings& settings);
    int Open();
    int Read(std::uint8_t* buffer, int count);
    void Close();
};

}  // namespace talq::link
