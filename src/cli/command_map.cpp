// talq map / unmap: the user's ports file, edited whole or not at all; and the serial
// adapters plugged in, by their stable names, to map a port to.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "cli/commands.h"
#include "cli/identity_ports.h"
#include "platform/locked_file.h"
#include "platform/port_access.h"
#include "platform/port_devices.h"
#include "platform/port_mapping.h"
#include "platform/ports_file.h"
#include "platform/read_regular_file.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"
#include "platform/usb_port_nodes.h"
#include "platform/utf8_names.h"

namespace talq::cli {
namespace {

struct PortsFileText {
    std::string text;  // "" for a file not there yet
    std::optional<Failure> failure;
    bool fromAnsi = false;  // read in the ANSI code page (Windows)
};

PortsFileText ReadUserFile(const std::string& file) {
    std::vector<std::uint8_t> buffer(platform::kMaxPortsFileBytes + 1);
    const platform::RegularFileRead read = platform::ReadRegularFile(file, buffer);
    if (read.missing) return {};
    if (!read.ok()) {
        const std::string why =
            read.regular ? platform::SystemReason(read.error) : "not a regular file";
        return {{}, Failure{kExitFileFailed, file + ": " + why}};
    }
    if (read.count > platform::kMaxPortsFileBytes) {
        return {{}, Failure{kExitFileFailed, file + ": larger than 64 KiB, not a ports file"}};
    }
    PortsFileText contents;
    contents.text = platform::TextFileAsUtf8(
        std::string(buffer.begin(), buffer.begin() + static_cast<long>(read.count)),
        &contents.fromAnsi);
    return contents;
}

std::optional<Failure> CheckPort(const std::string& port) {
    if (platform::IsFixedPortName(port)) return std::nullopt;
    return Failure{kExitUsage, "unknown port \"" + port + "\": COM1..COM10 or LPT1..LPT3"};
}

// How long a run waits for another `talq map` to finish its edit of the same file.
constexpr int kEditLockWaitMs = 5000;

// Holds the edit lock beside the file (made with its folder), so that two runs at once do not
// each write their edit over the same old text and lose one.
std::variant<platform::LockedFile, Failure> LockUserFile(const std::string& file) {
    const std::filesystem::path path = platform::PathFromUtf8(file);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return Failure{kExitFileFailed, file + ": " + error.message()};
    const std::filesystem::path lock =
        path.parent_path() /
        platform::PathFromUtf8("." + platform::Utf8OfPath(path.filename()) + ".lock");
    if (auto held = platform::LockedFile::HoldWaiting(lock, kEditLockWaitMs)) {
        return std::move(*held);
    }
    return Failure{kExitFileFailed, file + ": another run is editing it (" +
                                        platform::Utf8OfPath(lock) + " stays locked)"};
}

// Writes `text` in place of the file; nothing changes on failure.
std::optional<Failure> WriteUserFile(const std::string& file, const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (const int failed = platform::ReplaceFileContents(file, {bytes, text.size()}); failed != 0) {
        return Failure{kExitFileFailed, file + ": " + platform::SystemReason(failed)};
    }
    return std::nullopt;
}

int Fail(const Console& console, const Failure& failure) {
    console.Error(failure.message);
    return failure.exitCode;
}

// What else decides the port, so that the user is not surprised by the edit.
void TellWhatStillDecides(const Console& console, const std::string& port) {
    const platform::PortMapping now = platform::MappingOfPort(port);
    if (now.source == platform::MappingSource::Environment) {
        console.Message(now.variable + " in the environment overrides the ports files here");
    } else if (now.source == platform::MappingSource::File &&
               now.file != platform::UserPortsFile()) {
        console.Message(port + " stays mapped to " + now.device + " by " + now.file + ":" +
                        std::to_string(now.line));
    }
}

}  // namespace

std::optional<Failure> EditUserPortsFileQuietly(
    const std::function<std::string(const std::string&)>& edit, PortsFileEdit& done) {
    done.file = platform::UserPortsFile();
    if (done.file.empty()) return Failure{kExitFileFailed, platform::NoUserPortsFileReason()};
    PortsFileText current = ReadUserFile(done.file);
    if (current.failure) return current.failure;
    if (edit(current.text) == current.text) return std::nullopt;
    // Read again under the lock: another run may have written meanwhile.
    auto lock = LockUserFile(done.file);
    if (auto* failure = std::get_if<Failure>(&lock)) return *failure;
    current = ReadUserFile(done.file);
    if (current.failure) return current.failure;
    // The mark makes every Notepad read the file back as what it now is.
    const std::string mark = current.fromAnsi ? "\xEF\xBB\xBF" : "";
    if (auto failure = WriteUserFile(done.file, mark + edit(current.text))) return failure;
    done.written = true;
    done.fromAnsi = current.fromAnsi;
    return std::nullopt;
}

int EditUserPortsFile(const Console& console,
                      const std::function<std::string(const std::string&)>& edit) {
    PortsFileEdit done;
    if (auto failure = EditUserPortsFileQuietly(edit, done)) return Fail(console, *failure);
    if (done.fromAnsi) {
        console.Message(done.file + ": read in the ANSI code page, written back in UTF-8");
    }
    console.out << (done.written ? "written: " : "unchanged: ") << done.file << "\n";
    return kExitDone;
}

namespace {

// Edits the user's ports file, then says what else still decides the port.
int EditUserFile(const Console& console, const std::string& port,
                 const std::function<std::string(const std::string&)>& edit) {
    const int code = EditUserPortsFile(console, edit);
    if (code == kExitDone) TellWhatStillDecides(console, port);
    return code;
}

}  // namespace

int RunMap(const Console& console, const std::string& port, const std::string& device) {
    if (auto failure = CheckPort(port)) return Fail(console, *failure);
    if (auto problem = platform::ProblemWithDevice(device))
        return Fail(console, {kExitUsage, *problem});
    if (platform::IsUsbIdentityName(device)) {
        // Looked up among the serial adapters (COM) or the printers (LPT) present now.
        const auto kind = port.starts_with("COM") ? platform::UsbNodeKind::SerialLine
                                                  : platform::UsbNodeKind::Printer;
        const auto lookup = platform::LookUpUsbIdentity(device, kind);
        if (lookup.matches.size() != 1) {
            console.Message(platform::LookupFailureText(device, lookup, kind) +
                            "; the mapping is kept for when it is plugged in");
        }
    } else if (platform::ExamineDeviceAccess(device).absent) {
        // Looked at, never opened: a port name (COM12 on Windows) as well as a path.
        console.Message(device + " is absent now; the mapping is kept for when it is plugged in");
    }
    return EditUserFile(console, port, [&](const std::string& text) {
        return platform::WithPortMapping(text, port, device);
    });
}

int RunUnmap(const Console& console, const std::string& port) {
    if (auto failure = CheckPort(port)) return Fail(console, *failure);
    return EditUserFile(console, port, [&](const std::string& text) {
        return platform::WithoutPortMapping(text, port);
    });
}

namespace {

// Whether `port` reaches the adapter: mapped to one of its names, or by its identity.
bool MapsTo(const std::string& port, const platform::SerialAdapter& adapter) {
    const platform::PortMapping mapping = platform::MappingOfPort(port);
    // COM1 reaching the port COM1 by default tells nothing.
    if (mapping.source == platform::MappingSource::Default) return false;
    const std::string& mapped = mapping.device;
    const std::string system = platform::SystemDeviceName(mapped);
    return mapped == adapter.path || mapped == adapter.device ||
           (!system.empty() && system == adapter.path) ||
           std::find(adapter.links.begin(), adapter.links.end(), mapped) != adapter.links.end() ||
           (platform::IsUsbIdentityName(mapped) &&
            platform::DevicePathForPort(port) == adapter.device);
}

// One adapter's line: its name to map to, the node or the system's words for it, its identity
// name and ids, where it is plugged in, and the ports mapped to it.
std::string AdapterLine(const platform::SerialAdapter& adapter,
                        const std::vector<platform::UsbPortNode>& nodes) {
    std::vector<std::string> words{adapter.path};
    if (adapter.device != adapter.path && adapter.device != "\\\\.\\" + adapter.path) {
        words.push_back(adapter.device);
    }
    if (!adapter.description.empty() &&
        adapter.path.find(adapter.description) == std::string::npos) {
        words.push_back(adapter.description);
    }
    if (adapter.usb) {
        const std::string name =
            platform::IdentityNameOf({adapter.device, true, *adapter.usb}, nodes);
        if (!name.empty()) words.push_back(name);
        words.push_back(platform::UsbIdsText(*adapter.usb));
    }
    if (!adapter.location.empty()) words.push_back("at " + adapter.location);
    for (int n = 1; n <= platform::kComPortCount; ++n) {
        const std::string port = "COM" + std::to_string(n);
        if (MapsTo(port, adapter)) words.push_back(port);
    }
    std::string line;
    for (const std::string& word : words) line += (line.empty() ? "" : "  ") + word;
    return line;
}

}  // namespace

int RunListAdapters(const Console& console) {
    const std::vector<platform::SerialAdapter> adapters = platform::PresentSerialAdapters();
    if (adapters.empty()) {
        const std::string folder = platform::SerialAdapterFolder();
        console.Message(folder.empty() ? "no serial ports: the system lists no COM port "
                                         "(device class Ports)"
                                       : "no serial adapters in " + folder);
        return kExitDone;
    }
    const std::vector<platform::UsbPortNode> nodes = IdentityPortNodes();
    for (const platform::SerialAdapter& adapter : adapters) {
        console.out << AdapterLine(adapter, nodes) << "\n";
    }
    return kExitDone;
}

}  // namespace talq::cli
