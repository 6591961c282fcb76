#include "protocol/reply_reader.h"

#include <algorithm>

#include "platform/platform.h"
#include "protocol/commands.h"

namespace talq::protocol {

ReadMode ReadModeFor(link::PortKind kind) {
    return kind == link::Usb ? ReadMode::Block : ReadMode::Byte;
}

bool SwitchReply::IsValid() const {
    return std::all_of(characters.begin(), characters.end(),
                       [](std::uint8_t c) { return c == '0' || c == '1'; });
}

std::string TextAt(const ReplyBuffer& buffer, std::size_t offset) {
    std::string text;
    for (std::size_t i = offset; i < buffer.size() && buffer[i] != 0; ++i) {
        text.push_back(static_cast<char>(buffer[i]));
    }
    return text;
}

int ReplyReader::Write(std::span<const std::uint8_t> command) {
    return port_.Write(command.data(), static_cast<int>(command.size()));
}

int ReplyReader::ReadInto(ReplyBuffer& buffer, int offset, int count) {
    return port_.Read(buffer.data() + offset, count, kReadTimeoutMs);
}

void ReplyReader::Pause(int milliseconds) {
    platform::Current().Pause(milliseconds);
}

int ReplyReader::ReadBlock(ReplyBuffer& buffer, bool repeatWhenEmpty) {
    Pause(kBlockPauseMs);
    int got = ReadInto(buffer, 0, kBlockReadBytes);
    if (got == 0 && repeatWhenEmpty) got = ReadInto(buffer, 0, kBlockReadBytes);
    return got;
}

void ReplyReader::Drain() {
    ReplyBuffer scratch{};
    for (int i = 0; i < kDrainReads; ++i) {
        Pause(kBytePauseMs);
        ReadInto(scratch, 0, 1);
    }
}

std::uint8_t ReplyReader::ReadModelIdByte(ReplyBuffer& buffer) {
    buffer.fill(0);
    if (mode_ == ReadMode::Block) {
        ReadBlock(buffer);
    } else {
        Pause(kBytePauseMs);
        ReadInto(buffer, 0, 1);
    }
    return buffer[0];
}

bool ReplyReader::RetryModelIdByte(ReplyBuffer& buffer, std::uint8_t expected, bool* heard) {
    if (mode_ != ReadMode::Byte) return false;
    for (int attempt = 0; attempt < 10; ++attempt) {
        Pause(kBytePauseMs);
        ReadInto(buffer, 0, 1);
        if (heard != nullptr && buffer[0] != 0) *heard = true;
        if (buffer[0] == expected) return true;
        buffer.fill(0);
    }
    return false;
}

std::string ReplyReader::ReadText(ReplyBuffer& buffer, const Step& onByte) {
    buffer.fill(0);
    if (mode_ == ReadMode::Block) {
        ReadBlock(buffer);
        return TextAt(buffer, 1);  // the header goes, whatever it is
    }
    Pause(kBytePauseMs);
    return ReadTextByteByByte(buffer, onByte);
}

std::string ReplyReader::ReadTextByteByByte(ReplyBuffer& buffer, const Step& onByte) {
    std::string text;
    int emptyInARow = 0;
    for (int read = 0; read < kMaxReplyBytes;) {
        if (ReadInto(buffer, 0, 1) == 0) {
            // The printer went quiet before the terminating zero: keep what came.
            if (++emptyInARow >= kMaxEmptyReadsInARow) break;
            continue;
        }
        emptyInARow = 0;
        ++read;
        if (onByte) onByte();
        if (buffer[0] == 0) break;
        if (buffer[0] != kTextHeader) text.push_back(static_cast<char>(buffer[0]));
    }
    return text;
}

SwitchReply ReplyReader::ReadSwitch(ReplyBuffer& buffer, bool firstOfRun, const Step& step) {
    SwitchReply reply;
    buffer.fill(0);
    if (mode_ == ReadMode::Block) {
        ReadBlock(buffer);
        std::copy_n(buffer.begin() + 2, 8, reply.characters.begin());
        return reply;
    }
    Pause(kBytePauseMs);
    ReadInto(buffer, 0, 1);
    if (firstOfRun) {
        if (step) step();
        // Skip what precedes the header, but not forever.
        int emptyInARow = 0;
        for (int skipped = 0; buffer[0] != kSwitchHeader && skipped < kMaxReplyBytes;) {
            if (ReadInto(buffer, 0, 1) == 0) {
                if (++emptyInARow >= kMaxEmptyReadsInARow) break;
                continue;
            }
            emptyInARow = 0;
            ++skipped;
        }
    }
    // Identifier, eight pin characters, terminating zero.
    ReadInto(buffer, 0, 10);
    std::copy_n(buffer.begin() + 1, 8, reply.characters.begin());
    if (!firstOfRun && step) step();
    return reply;
}

std::string ReplyReader::ReadSetting(ReplyBuffer& buffer, std::uint8_t item, int* received) {
    buffer.fill(0);
    int got = 0;
    if (mode_ == ReadMode::Block) {
        got = ReadBlock(buffer);
        if (received) *received = got;
        return TextAt(buffer, 4);  // four leading bytes
    }
    Pause(kBytePauseMs);
    // Five reads into byte 0 leave the first value character there.
    for (int i = 0; i < 5; ++i) got += ReadInto(buffer, 0, 1);
    int more = 2;
    if (item == kItemBaudRate) more = 6;
    if (item == kItemVersionSuffix) more = 4;
    for (int i = 1; i <= more; ++i) got += ReadInto(buffer, i, 1);
    if (received) *received = got;
    return TextAt(buffer, 0);
}

void ReplyReader::ReadModeReply(std::array<std::uint8_t, 16>& commandBuffer) {
    if (mode_ == ReadMode::Block) {
        Pause(kBlockPauseMs);
        int got = port_.Read(commandBuffer.data(), kBlockReadBytes, kReadTimeoutMs);
        if (got == 0) port_.Read(commandBuffer.data(), kBlockReadBytes, kReadTimeoutMs);
        return;
    }
    Pause(kBytePauseMs);
    port_.Read(commandBuffer.data(), 3, kReadTimeoutMs);
}

}  // namespace talq::protocol
