#include "platform/telnet_codec.h"

namespace talq::platform::telnet {

Bytes EscapeData(const std::uint8_t* data, std::size_t count) {
    Bytes wire;
    wire.reserve(count + 4);
    for (std::size_t i = 0; i < count; ++i) {
        wire.push_back(data[i]);
        if (data[i] == kIac) wire.push_back(kIac);
    }
    return wire;
}

std::size_t DataBytesSent(const std::uint8_t* data, std::size_t count, std::size_t wireCount) {
    std::size_t sent = 0;
    for (std::size_t wire = 0; sent < count; ++sent) {
        wire += data[sent] == kIac ? 2 : 1;
        if (wire > wireCount) break;
    }
    return sent;
}

Bytes Negotiation(std::uint8_t verb, std::uint8_t option) {
    return {kIac, verb, option};
}

Bytes Subnegotiation(std::uint8_t option, const Bytes& payload) {
    Bytes wire{kIac, kSb, option};
    const Bytes escaped = EscapeData(payload.data(), payload.size());
    wire.insert(wire.end(), escaped.begin(), escaped.end());
    wire.push_back(kIac);
    wire.push_back(kSe);
    return wire;
}

Bytes ComPortCommandBytes(std::uint8_t command, const Bytes& value) {
    Bytes payload{command};
    payload.insert(payload.end(), value.begin(), value.end());
    return Subnegotiation(kComPortOption, payload);
}

Bytes BaudRateValue(std::uint32_t baudRate) {
    return {static_cast<std::uint8_t>(baudRate >> 24), static_cast<std::uint8_t>(baudRate >> 16),
            static_cast<std::uint8_t>(baudRate >> 8), static_cast<std::uint8_t>(baudRate)};
}

void Decoder::Feed(const std::uint8_t* bytes, std::size_t count, Bytes& data,
                   std::vector<Event>& events) {
    const std::size_t fed = data.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        switch (state_) {
            case State::Data:
                if (b == kIac) {
                    state_ = State::Command;
                } else {
                    data.push_back(b);
                }
                break;
            case State::Command:
                state_ = State::Data;
                if (b == kIac) {
                    data.push_back(kIac);
                } else if (b >= kWill && b <= kDont) {
                    pending_ = {b, 0, {}};
                    state_ = State::Option;
                } else if (b == kSb) {
                    pending_ = {kSb, 0, {}};
                    state_ = State::SubOption;
                }
                break;
            case State::Option:
                pending_.option = b;
                pending_.dataBefore = data.size() - fed;
                events.push_back(std::move(pending_));
                state_ = State::Data;
                break;
            case State::SubOption:
                pending_.option = b;
                state_ = State::SubData;
                break;
            case State::SubData:
                if (b == kIac) {
                    state_ = State::SubCommand;
                } else if (pending_.payload.size() < kMaxPayload) {
                    pending_.payload.push_back(b);
                }
                break;
            case State::SubCommand:
                if (b == kIac) {
                    if (pending_.payload.size() < kMaxPayload) pending_.payload.push_back(kIac);
                    state_ = State::SubData;
                    break;
                }
                // IAC SE ends it; any other command ends it too, and is then taken as itself.
                pending_.dataBefore = data.size() - fed;
                events.push_back(std::move(pending_));
                state_ = State::Data;
                if (b != kSe) {
                    state_ = State::Command;
                    --i;
                }
                break;
        }
    }
}

}  // namespace talq::platform::telnet
