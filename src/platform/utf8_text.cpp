#include "platform/utf8_text.h"

namespace talq::platform {
namespace {

// How many bytes the character that `lead` starts takes; 0 when no character starts so.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool IsContinuation(unsigned char c) {
    return c >= 0x80 && c <= 0xBF;
}

// The second byte also rules out overlong forms, surrogates and values past U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char second) {
    if (!IsContinuation(second)) return false;
    switch (lead) {
        case 0xE0:
            return second >= 0xA0;
        case 0xED:
            return second <= 0x9F;
        case 0xF0:
            return second >= 0x90;
        case 0xF4:
            return second <= 0x8F;
        default:
            return true;
    }
}

}  // namespace

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = SequenceLength(lead);
        if (length == 0 || length > text.size() - at) return false;
        if (length > 1 && !SecondByteFits(lead, static_cast<unsigned char>(text[at + 1])))
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!IsContinuation(static_cast<unsigned char>(text[at + k]))) return false;
        }
        at += length;
    }
    return true;
}

std::size_t CompleteUtf8Length(std::string_view text) {
    // A character cut short has its lead among the last three bytes.
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto c = static_cast<unsigned char>(text[text.size() - back]);
        if (IsContinuation(c)) continue;
        return SequenceLength(c) > back ? text.size() - back : text.size();
    }
    return text.size();
}

}  // namespace talq::platform
