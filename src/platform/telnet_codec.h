// The Telnet framing of a byte stream: data with every 0xFF doubled, option negotiation
// (WILL, WONT, DO, DONT) and subnegotiations (IAC SB option ... IAC SE), and the COM port
// control option's command codes. Pure byte work, apart from any socket, so that what goes on
// the wire can be checked on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace talq::platform::telnet {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;

inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPortOption = 44;

// COM port control commands, client to server; the server acknowledges each with the same
// code plus kServerReply, carrying the value it now uses.
enum ComPortCommand : std::uint8_t {
    kSignature = 0,
    kSetBaudRate = 1,
    kSetDataSize = 2,
    kSetParity = 3,
    kSetStopSize = 4,
    kSetControl = 5,
    kNotifyLineState = 6,
    kNotifyModemState = 7,
    kPurgeData = 12,
};
inline constexpr std::uint8_t kServerReply = 100;

// SET-PARITY and SET-STOPSIZE values.
inline constexpr std::uint8_t kParityNone = 1, kParityOdd = 2, kParityEven = 3;
inline constexpr std::uint8_t kStopOne = 1, kStopTwo = 2, kStopOneAndHalf = 3;
// SET-CONTROL values: flow control of both directions, then the DTR and RTS lines.
inline constexpr std::uint8_t kRequestFlow = 0, kNoFlow = 1, kXonXoffFlow = 2, kHardwareFlow = 3;
inline constexpr std::uint8_t kDtrOn = 8, kDtrOff = 9, kRtsOn = 11, kRtsOff = 12;
// PURGE-DATA: both of the server's buffers.
inline constexpr std::uint8_t kPurgeBoth = 3;

// Data as it goes on the wire: each 0xFF doubled.
Bytes EscapeData(const std::uint8_t* data, std::size_t count);
// How many bytes of `data` a wire prefix of `wireCount` escaped bytes carries whole.
std::size_t DataBytesSent(const std::uint8_t* data, std::size_t count, std::size_t wireCount);

// IAC verb option.
Bytes Negotiation(std::uint8_t verb, std::uint8_t option);
// IAC SB option payload... IAC SE, with each 0xFF of the payload doubled.
Bytes Subnegotiation(std::uint8_t option, const Bytes& payload);
// A COM port control command with its value bytes (a baud rate as four bytes, most significant
// first).
Bytes ComPortCommandBytes(std::uint8_t command, const Bytes& value);
Bytes BaudRateValue(std::uint32_t baudRate);

// What arrives besides data: a negotiation (verb and option) or a whole subnegotiation
// (option and payload, unescaped).
struct Event {
    std::uint8_t verb = 0;  // kWill, kWont, kDo, kDont or kSb
    std::uint8_t option = 0;
    Bytes payload;
    std::size_t dataBefore = 0;  // data bytes of the same Feed that came before it
};

// Splits a received stream into data and events; a sequence cut between two reads is taken up
// where it stopped. Other commands (NOP, GA, a data mark) carry nothing here and are dropped.
class Decoder {
  public:
    void Feed(const std::uint8_t* bytes, std::size_t count, Bytes& data,
              std::vector<Event>& events);

  private:
    enum class State { Data, Command, Option, SubOption, SubData, SubCommand };
    // A subnegotiation longer than this is no COM port reply; the rest of it is dropped.
    static constexpr std::size_t kMaxPayload = 256;

    State state_ = State::Data;
    Event pending_;
};

}  // namespace talq::platform::telnet
