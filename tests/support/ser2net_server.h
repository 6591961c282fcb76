// Debian's ser2net in front of one serial device (in tests a pseudo-terminal), on loopback
// ports of its own choosing: raw TCP, Telnet with the COM port control option, and Telnet
// without it. Started by the test, stopped by its process id; nothing outlives the object.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/temp_dir.h"

namespace talq::test {

class Ser2netServer {
  public:
    // `line` is ser2net's own setting of the device ("19200n81"), which raw TCP keeps.
    explicit Ser2netServer(const std::string& device, const std::string& line = "19200n81");
    ~Ser2netServer() { Kill(); }
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    bool Running() const { return pid_ > 0; }
    std::string RawAddress() const { return "tcp:127.0.0.1:" + std::to_string(ports_[0]); }
    std::string ComPortAddress() const { return "rfc2217:127.0.0.1:" + std::to_string(ports_[1]); }
    // Telnet that refuses the COM port control option.
    std::string PlainTelnetAddress() const {
        return "rfc2217:127.0.0.1:" + std::to_string(ports_[2]);
    }
    // Ends the server at once, as one that is switched off: its connections drop.
    void Kill();

  private:
    bool Start(const std::string& device, const std::string& line);
    bool Listening() const;

    TempDir dir_{"talq-ser2net"};
    pid_t pid_ = -1;
    int ports_[3] = {0, 0, 0};
};

}  // namespace talq::test
