// The serial line between the host and the simulated printer, bit by bit: what a UART set one
// way makes of characters sent by a UART set another way.
//
// Each character is taken as one frame with the line idle (mark) around it: a start bit, the
// data bits least significant first, the parity bit if any, and the stop bits. The receiver
// does what a UART does: it waits for a falling edge, checks the start bit half a bit time
// later, samples every further bit in the middle of its own bit time, and looks at the first
// stop bit only; then it hunts for the next falling edge from the middle of that stop bit. So
//  - a receiver at another speed reads a garbled character, several (a much faster one reads
//    the long start bit as a break and the rest as more characters), or nothing (a much
//    slower one takes a short frame for a glitch on the line);
//  - at the same speed, another character size or parity shifts the bits: the parity bit is
//    read as a data bit or the other way round, a stop bit lands on data, and the receiver
//    flags a parity or framing error where the bits do not fit;
//  - a second stop bit is only a longer idle line, so stop bits never matter;
//  - flow control does not touch the bits. While neither end is busy both keep their
//    handshake lines up and the printer sends no XOFF, so a host at RTS/CTS talks to a
//    printer at Xon/Xoff (and the other way round) as if they agreed.
// Sampling a bit boundary exactly takes the bit that starts there. Times are whole multiples
// of 1 / (2 * sender speed * receiver speed) seconds, so the outcome is exact and the same on
// every machine. A real line sends a host's buffer back to back rather than idling between
// characters, which garbles a little differently, but garbles all the same.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace talq::sim {

enum class Parity { None, Odd, Even };
// The printer's words: DTR/DSR is what a host calls hardware (RTS/CTS) flow control.
enum class Flow { DtrDsr, XonXoff };

struct LineSettings {
    int baud = 19200;
    int dataBits = 8;  // 7 or 8
    Parity parity = Parity::None;
    int stopBits = 1;  // 1 or 2
    Flow flow = Flow::DtrDsr;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Whether characters pass between the two unchanged: the same speed, size and parity.
bool SameFraming(const LineSettings& a, const LineSettings& b);

// "9600 8 None 1 DTR/DSR".
std::string Describe(const LineSettings& line);

struct ReceivedCharacter {
    std::uint8_t value = 0;  // the data bits the receiver sampled
    bool parityError = false;
    bool framingError = false;  // the first stop bit was a space
    bool isBreak = false;       // every bit sampled, stop bit included, was a space
    friend bool operator==(const ReceivedCharacter&, const ReceivedCharacter&) = default;
};

// What a receiver at `receiver` makes of `byte` sent at `sender`: none, one or several
// characters.
std::vector<ReceivedCharacter> Receive(std::uint8_t byte, const LineSettings& sender,
                                       const LineSettings& receiver);

// Host bytes as the printer takes them: a character its UART flags (framing or parity error,
// break) is dropped.
std::vector<std::uint8_t> AtPrinter(std::span<const std::uint8_t> bytes, const LineSettings& host,
                                    const LineSettings& printer);

// Printer bytes as a host in raw mode reads them (no input parity check, as the program sets
// its line): flagged characters arrive with what was sampled, a break as a zero byte.
std::vector<std::uint8_t> AtHost(std::span<const std::uint8_t> bytes, const LineSettings& printer,
                                 const LineSettings& host);

}  // namespace talq::sim
