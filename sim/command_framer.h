// Cuts the host's byte stream into whole commands, however the writes split
// it. Knows the lengths of ESC and GS commands only as far as the printer
// needs them; any other byte is print data and stands alone.
//
// A command whose bytes stop coming is dropped once kCommandGapMs pass
// without a byte: a host writes a command in one go, so a longer gap means
// the host gave up on it (or announced more data than it sent, as a bogus
// GS ( length does), and the next command must not be swallowed as its data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace talq::sim {

inline constexpr std::int64_t kCommandGapMs = 1000;

class CommandFramer {
public:
    using Handler = std::function<void(std::span<const std::uint8_t> command)>;

    explicit CommandFramer(Handler handler) : handler_(std::move(handler)) {}

    // Takes bytes arriving at nowMs; calls the handler once for every command
    // they complete.
    void Feed(const std::uint8_t* data, std::size_t size, std::int64_t nowMs = 0);

    // Drops a command that is only partly received.
    void Reset() { pending_.clear(); }

private:
    // Length of the command at the start of pending_, or 0 while more bytes
    // are needed to tell.
    std::size_t CompleteLength() const;

    Handler handler_;
    std::vector<std::uint8_t> pending_;
    std::int64_t lastByteMs_ = 0;
};

}  // namespace talq::sim
