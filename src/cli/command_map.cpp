// talq map / unmap: the user's ports file, edited whole or not at all; and the serial
// adapters plugged in, by their stable names, to map a port to.
#include <filesystem>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "cli/commands.h"
#include "platform/locked_file.h"
#include "platform/port_access.h"
#include "platform/port_devices.h"
#include "platform/port_mapping.h"
#include "platform/ports_file.h"
#include "platform/read_regular_file.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"
#include "platform/utf8_names.h"

namespace talq::cli {
namespace {

struct PortsFileText {
    std::string text;  // "" for a file not there yet
    std::optional<Failure> failure;
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
    return {std::string(buffer.begin(), buffer.begin() + static_cast<long>(read.count)), {}};
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
        path.parent_path() / ("." + platform::Utf8OfPath(path.filename()) + ".lock");
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

int EditUserPortsFile(const Console& console,
                      const std::function<std::string(const std::string&)>& edit) {
    const std::string file = platform::UserPortsFile();
    if (file.empty()) {
        return Fail(console, {kExitFileFailed,
                              "no home folder for the ports file: set HOME or "
                              "XDG_CONFIG_HOME"});
    }
    PortsFileText current = ReadUserFile(file);
    if (current.failure) return Fail(console, *current.failure);
    if (edit(current.text) == current.text) {
        console.out << "unchanged: " << file << "\n";
        return kExitDone;
    }
    // Read again under the lock: another run may have written meanwhile.
    auto lock = LockUserFile(file);
    if (auto* failure = std::get_if<Failure>(&lock)) return Fail(console, *failure);
    current = ReadUserFile(file);
    if (current.failure) return Fail(console, *current.failure);
    if (auto failure = WriteUserFile(file, edit(current.text))) return Fail(console, *failure);
    console.out << "written: " << file << "\n";
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
    // Looked at, never opened: a port name (COM12 on Windows) as well as a path.
    if (platform::ExamineDeviceAccess(device).absent) {
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

int RunListAdapters(const Console& console) {
    const std::vector<platform::SerialAdapter> adapters = platform::PresentSerialAdapters();
    if (adapters.empty()) {
        console.Message("no serial adapters in " + platform::SerialAdapterFolder());
        return kExitDone;
    }
    std::vector<std::string> ports;
    for (int n = 1; n <= platform::kComPortCount; ++n) ports.push_back("COM" + std::to_string(n));
    for (const platform::SerialAdapter& adapter : adapters) {
        console.out << adapter.path << "  " << adapter.device;
        for (const std::string& port : ports) {
            const std::string mapped = platform::MappingOfPort(port).device;
            if (mapped == adapter.path || mapped == adapter.device) console.out << "  " << port;
        }
        console.out << "\n";
    }
    return kExitDone;
}

}  // namespace talq::cli
