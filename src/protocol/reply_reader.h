// The rules by which replies are read (block mode for USB, byte mode for
// serial and parallel, the drain) and the readers of each reply kind. Every
// pause goes through the platform so exchanges run in virtual time in tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "link/port_settings.h"
#include "link/printer_port.h"

namespace talq::protocol {

enum class ReadMode { Block, Byte };

// USB replies come as one block; serial and parallel replies byte by byte.
ReadMode ReadModeFor(link::PortKind kind);

// Every examined reply is read into 20 zeroed bytes, so texts taken from it
// are always terminated; a block read never asks for more than 16.
using ReplyBuffer = std::array<std::uint8_t, 20>;

inline constexpr int kReadTimeoutMs = 1000;  // passed with every read
inline constexpr int kBlockPauseMs = 200;
inline constexpr int kBytePauseMs = 100;
inline constexpr int kBlockReadBytes = 16;
inline constexpr int kDrainReads = 5;

// A printer that stops sending in the middle of a reply: a byte-by-byte read
// gives up after this many empty reads in a row (about 100 ms over serial)...
inline constexpr int kMaxEmptyReadsInARow = 5;
// ...and after this many bytes, whatever arrives.
inline constexpr int kMaxReplyBytes = 64;

inline constexpr std::uint8_t kTextHeader = 0x5F;    // "_"
inline constexpr std::uint8_t kSwitchHeader = 0x37;  // "7"

// Pin characters of a switch reply, pin 8 first as on the wire.
struct SwitchReply {
    std::array<std::uint8_t, 8> characters{};

    // The printer's character for pin p (1..8) minus "0".
    int PinValue(int p) const { return characters[static_cast<std::size_t>(8 - p)] - '0'; }
    // Every character is "0" or "1": a whole, well-formed reply.
    bool IsValid() const;
};

class ReplyReader {
public:
    using Step = std::function<void()>;

    ReplyReader(link::PrinterPort& port, ReadMode mode) : port_(port), mode_(mode) {}

    ReadMode mode() const { return mode_; }

    int Write(std::span<const std::uint8_t> command);
    int ReadInto(ReplyBuffer& buffer, int offset, int count);
    void Pause(int milliseconds);

    // Block mode: wait 200 ms, read up to 16 bytes, once more if none came.
    int ReadBlock(ReplyBuffer& buffer, bool repeatWhenEmpty = true);
    // Byte mode: five times wait 100 ms and read one byte, discarded.
    void Drain();

    // Clears the buffer and reads the model-ID byte into buffer[0].
    std::uint8_t ReadModelIdByte(ReplyBuffer& buffer);
    // Byte mode: up to ten more single-byte reads 100 ms apart, clearing the
    // buffer after each miss. True once buffer[0] is `expected`. `heard`, when
    // given, is set once any read brings a byte other than zero.
    bool RetryModelIdByte(ReplyBuffer& buffer, std::uint8_t expected, bool* heard = nullptr);

    // Clears the buffer and reads a text reply. Block mode drops the first
    // byte and keeps at most 15 characters; byte mode drops every "_" and
    // ends at 0x00. `onByte` runs for every byte that arrives in byte mode.
    std::string ReadText(ReplyBuffer& buffer, const Step& onByte = {});

    // Clears the buffer and reads a switch reply. In byte mode the first
    // switch of a run searches for the 0x37 header; `step` runs where the
    // progress bar steps in byte mode (after the header byte on the first
    // switch, after the ten-byte read on the others).
    SwitchReply ReadSwitch(ReplyBuffer& buffer, bool firstOfRun, const Step& step = {});

    // Clears the buffer and reads the value text of serial-setting item k.
    // `received`, when given, gets the count of bytes that arrived: 0 tells a
    // printer that did not answer from one that answered with an empty value.
    std::string ReadSetting(ReplyBuffer& buffer, std::uint8_t item, int* received = nullptr);

    // Reads the reply to enter-user-setting-mode into `commandBuffer`; not examined.
    void ReadModeReply(std::array<std::uint8_t, 16>& commandBuffer);

private:
    std::string ReadTextByteByByte(ReplyBuffer& buffer, const Step& onByte);

    link::PrinterPort& port_;
    ReadMode mode_;
};

// Value texts of a block-mode reply: the zero-terminated text from `offset`.
std::string TextAt(const ReplyBuffer& buffer, std::size_t offset);

}  // namespace talq::protocol
