#include "platform/usb_identity.h"

#include <algorithm>
#include <cstdio>

namespace talq::platform {
namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Upper(x) == Upper(y); });
}

std::optional<unsigned> Hex(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    unsigned value = 0;
    for (const char c : digits) {
        const char u = Upper(c);
        const int digit = u >= '0' && u <= '9' ? u - '0' : u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
}

// A value a name can carry as it is: no separator, no space, nothing unprintable.
bool Nameable(std::string_view value) {
    return !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u > ' ' && u != 0x7f && c != ',';
    });
}

std::string Hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

// The hex number after `token` (e.g. "VID_") in an id part, up to the next separator.
std::optional<unsigned> NumberAfter(std::string_view part, std::string_view token,
                                    std::size_t maxDigits) {
    for (std::size_t at = 0; at + token.size() <= part.size(); ++at) {
        if (!SameIgnoringCase(part.substr(at, token.size()), token)) continue;
        const std::size_t start = at + token.size();
        const std::size_t end = part.find_first_of("&+#\\", start);
        return Hex(part.substr(start, end == std::string_view::npos ? end : end - start),
                   maxDigits);
    }
    return std::nullopt;
}

}  // namespace

bool IsUsbIdentityName(std::string_view text) {
    return text.starts_with(kUsbIdentityPrefix);
}

std::optional<UsbIdentityName> ParseUsbIdentityName(std::string_view text, std::string& problem) {
    const auto fail = [&](std::string why) {
        problem = "\"" + std::string(text) + "\": " + why +
                  " (usb:serial=SERIAL or usb:path=BUS-PORT.PORT, and vid=, pid=, if= beside "
                  "them, joined by ',')";
        return std::nullopt;
    };
    if (!IsUsbIdentityName(text)) return fail("not a USB name");
    std::string_view rest = text.substr(kUsbIdentityPrefix.size());
    if (rest.empty()) return fail("nothing after usb:");
    UsbIdentityName name;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view pair = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (comma != std::string_view::npos && rest.empty()) return fail("a ',' ends it");
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos)
            return fail("\"" + std::string(pair) + "\" is no KEY=VALUE");
        const std::string_view key = pair.substr(0, equals), value = pair.substr(equals + 1);
        if (!Nameable(value)) return fail(std::string(key) + " has no value, or a space in it");
        const auto given = [&](const auto& part) { return part.has_value(); };
        const bool repeated = key == "serial" ? given(name.serialNumber)
                              : key == "path" ? given(name.busPath)
                              : key == "vid"  ? given(name.vendorId)
                              : key == "pid"  ? given(name.productId)
                              : key == "if"   ? given(name.interfaceNumber)
                                              : false;
        if (repeated) return fail(std::string(key) + " is given twice");
        if (key == "serial") {
            name.serialNumber = std::string(value);
        } else if (key == "path") {
            name.busPath = std::string(value);
        } else if (key == "vid" || key == "pid") {
            const auto number = value.size() == 4 ? Hex(value, 4) : std::nullopt;
            if (!number) return fail(std::string(key) + " takes four hex digits, e.g. 0403");
            (key == "vid" ? name.vendorId : name.productId) = static_cast<std::uint16_t>(*number);
        } else if (key == "if") {
            const bool digits = value.size() <= 3 &&
                                value.find_first_not_of("0123456789") == std::string_view::npos;
            if (!digits) return fail("if takes the interface number, e.g. 0 or 1");
            name.interfaceNumber = std::stoi(std::string(value));
        } else {
            return fail("unknown key \"" + std::string(key) + "\"");
        }
    }
    return name;
}

bool Matches(const UsbIdentityName& name, const UsbIdentity& device) {
    if (name.serialNumber && (device.serialNumber.empty() ||
                              !SameIgnoringCase(*name.serialNumber, device.serialNumber))) {
        return false;
    }
    if (name.busPath &&
        (device.busPath.empty() || !SameIgnoringCase(*name.busPath, device.busPath))) {
        return false;
    }
    if (name.vendorId && *name.vendorId != device.vendorId) return false;
    if (name.productId && *name.productId != device.productId) return false;
    return !name.interfaceNumber || *name.interfaceNumber == device.interfaceNumber;
}

std::string UsbIdsText(const UsbIdentity& identity) {
    return Hex4(identity.vendorId) + ":" + Hex4(identity.productId);
}

std::string IdentityNameOf(const UsbPortNode& node, const std::vector<UsbPortNode>& present) {
    const UsbIdentity& id = node.identity;
    const auto unique = [&](const UsbIdentityName& name) {
        return std::count_if(present.begin(), present.end(), [&](const UsbPortNode& other) {
                   return Matches(name, other.identity);
               }) <= 1;
    };
    const auto withInterface = [&](UsbIdentityName name, std::string text) -> std::string {
        if (unique(name)) return text;
        if (id.interfaceNumber < 0) return {};
        name.interfaceNumber = id.interfaceNumber;
        return unique(name) ? text + ",if=" + std::to_string(id.interfaceNumber) : std::string();
    };
    std::string text;
    if (Nameable(id.serialNumber)) {
        UsbIdentityName name;
        name.serialNumber = id.serialNumber;
        text = withInterface(name, "usb:serial=" + id.serialNumber);
    }
    // Two devices that share a serial number (cheap adapters often do) are told apart by
    // where they are plugged in.
    if (text.empty() && Nameable(id.busPath)) {
        UsbIdentityName name;
        name.busPath = id.busPath;
        text = withInterface(name, "usb:path=" + id.busPath);
    }
    // Neither (Windows gives no path where it cannot walk the device tree): the ids, when no
    // other device has them.
    if (text.empty()) {
        UsbIdentityName name;
        name.vendorId = id.vendorId;
        name.productId = id.productId;
        const std::string ids = UsbIdsText(id);
        text = withInterface(name, "usb:vid=" + ids.substr(0, 4) + ",pid=" + ids.substr(5));
    }
    return text;
}

std::optional<UsbIdentity> UsbIdentityOfInstanceId(std::string_view id) {
    // An interface path carries the instance id with '#' for '\' and a class after it.
    std::string text(id);
    if (text.starts_with("\\\\?\\") || text.starts_with("\\\\.\\")) text.erase(0, 4);
    std::replace(text.begin(), text.end(), '#', '\\');
    std::vector<std::string_view> parts;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t slash = rest.find('\\');
        parts.push_back(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    if (parts.size() < 2) return std::nullopt;
    const bool ftdi = SameIgnoringCase(parts[0], "FTDIBUS");
    if (!SameIgnoringCase(parts[0], "USB") && !ftdi) return std::nullopt;
    const auto vendor = NumberAfter(parts[1], "VID_", 4);
    const auto product = NumberAfter(parts[1], "PID_", 4);
    if (!vendor || !product) return std::nullopt;
    UsbIdentity identity;
    identity.vendorId = static_cast<std::uint16_t>(*vendor);
    identity.productId = static_cast<std::uint16_t>(*product);
    if (ftdi) {
        // "VID_0403+PID_6001+A10K1ABCA": the serial number with the letter of the port
        // (A for the first) after it.
        const std::size_t plus = parts[1].rfind('+');
        const std::string_view tail = parts[1].substr(plus + 1);
        if (plus != std::string_view::npos && tail.size() > 1 && Upper(tail.back()) >= 'A' &&
            Upper(tail.back()) <= 'H') {
            identity.serialNumber = std::string(tail.substr(0, tail.size() - 1));
            identity.interfaceNumber = Upper(tail.back()) - 'A';
        }
        return identity;
    }
    if (const auto number = NumberAfter(parts[1], "MI_", 2)) {
        // An interface of a composite device: its instance part is made up, the serial
        // number is its parent's.
        identity.interfaceNumber = static_cast<int>(*number);
        return identity;
    }
    if (parts.size() >= 3 && parts[2].find('&') == std::string_view::npos && Nameable(parts[2])) {
        identity.serialNumber = std::string(parts[2]);
    }
    return identity;
}

std::string PortNameInFriendlyName(std::string_view friendlyName) {
    if (!friendlyName.ends_with(")")) return {};
    const std::size_t open = friendlyName.rfind('(');
    if (open == std::string_view::npos) return {};
    const std::string_view inside = friendlyName.substr(open + 1, friendlyName.size() - open - 2);
    const bool port = inside.size() > 3 &&
                      (inside.starts_with("COM") || inside.starts_with("LPT")) &&
                      inside.find_first_not_of("0123456789", 3) == std::string_view::npos;
    return port ? std::string(inside) : std::string();
}

}  // namespace talq::platform
