#include "platform/win32/dcb_settings.h"

namespace talq::platform::win32 {

void ApplyToDcb(const LineSettings& settings, DCB& dcb) {
    const bool xonXoff = settings.flowControl != 0;
    dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
    dcb.ByteSize = static_cast<BYTE>(settings.dataBits & 0xFF);
    dcb.Parity = static_cast<BYTE>(settings.parity & 0xFF);
    dcb.StopBits = static_cast<BYTE>(settings.stopBits & 0xFF);
    dcb.fParity = settings.parity != 0 ? 1 : 0;
    // Output waits for CTS and DSR whichever flow control is chosen.
    dcb.fOutxCtsFlow = 1;
    dcb.fOutxDsrFlow = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = xonXoff ? 1 : 0;
    dcb.fInX = xonXoff ? 1 : 0;
    dcb.fNull = 0;
    dcb.fRtsControl = xonXoff ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
}

COMMTIMEOUTS ToCommTimeouts(const CommTimeouts& timeouts) {
    COMMTIMEOUTS comm{};
    comm.ReadIntervalTimeout = timeouts.readIntervalMs;
    comm.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplierMs;
    comm.ReadTotalTimeoutConstant = timeouts.readTotalConstantMs;
    comm.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplierMs;
    comm.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
    if (comm.ReadIntervalTimeout == 0 && comm.ReadTotalTimeoutMultiplier == 0 &&
        comm.ReadTotalTimeoutConstant == 0) {
        comm.ReadIntervalTimeout = MAXDWORD;
        comm.ReadTotalTimeoutMultiplier = MAXDWORD;
        comm.ReadTotalTimeoutConstant = kUntimedReadMs;
    }
    if (comm.WriteTotalTimeoutMultiplier == 0 && comm.WriteTotalTimeoutConstant == 0) {
        comm.WriteTotalTimeoutConstant = kWriteStallMs;
    }
    return comm;
}

}  // namespace talq::platform::win32
