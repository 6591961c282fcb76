#include "sim/command_framer.h"

namespace talq::sim {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;

}  // namespace

std::size_t CommandFramer::CompleteLength() const {
    const auto& p = pending_;
    const std::size_t have = p.size();
    if (p[0] != kEsc && p[0] != kGs) return 1;
    if (have < 2) return 0;
    std::size_t need = 2;
    if (p[0] == kEsc) {
        if (p[1] == '=') need = 3;  // ESC = n
    } else if (p[1] == 'a' || p[1] == 'I') {
        need = 3;  // GS a n, GS I n
    } else if (p[1] == '(') {
        // GS ( x pL pH, then pL + 256 * pH bytes.
        if (have < 5) return 0;
        need = 5 + p[3] + 256u * p[4];
    }
    return have >= need ? need : 0;
}

void CommandFramer::Feed(const std::uint8_t* data, std::size_t size, std::int64_t nowMs) {
    if (size == 0) return;
    if (!pending_.empty() && nowMs - lastByteMs_ > kCommandGapMs) pending_.clear();
    lastByteMs_ = nowMs;
    for (std::size_t i = 0; i < size; ++i) {
        pending_.push_back(data[i]);
        const std::size_t length = CompleteLength();
        if (length == 0) continue;
        // The handler sees a copy, so it may feed more bytes itself.
        const std::vector<std::uint8_t> command(pending_.begin(), pending_.begin() + length);
        pending_.clear();
        handler_(command);
    }
}

}  // namespace talq::sim
