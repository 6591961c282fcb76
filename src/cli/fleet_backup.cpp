#include "cli/fleet_backup.h"

#include <ctime>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>

#include "cli/identity_ports.h"
#include "cli/json_parts.h"
#include "cli/models.h"
#include "cli/port_names.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"
#include "platform/usb_identity.h"
#include "platform/utf8_names.h"
#include "status/status_file.h"

namespace talq::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxSuffix = 999;

// Local time in ISO form; std::localtime's buffer is shared, so it is read under a lock.
std::string LocalTime() {
    static std::mutex guard;
    const std::lock_guard lock(guard);
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", local);
    }
    return text;
}

std::string Plain(const std::string& text) {
    std::string plain;
    for (const char c : text.substr(0, 100)) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        plain += kept ? c : '-';
    }
    return plain;
}

// The USB device behind the port, as a port name, the ports file or the USB entry reach it.
const platform::UsbPortNode* NodeOf(const PortTarget& port, const PresentUsbPorts& present) {
    return present.Behind(DevicePathOf(port.name));
}

// Writes the bytes under `stem` + `extension` in the folder, or "-2", "-3", ... when taken.
// The file's name in the folder, or "" with the system's error.
std::string WriteUnder(const fs::path& folder, const std::string& stem, const char* extension,
                       std::span<const std::uint8_t> bytes, int& error) {
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string name = stem + (n == 1 ? "" : "-" + std::to_string(n)) + extension;
        error = platform::CreateNewFile(platform::Utf8OfPath(folder / name), bytes);
        if (error == 0) return name;
        if (!platform::NameTaken(error)) return {};
    }
    return {};
}

}  // namespace

bool IsOutputFolder(const std::string& output) {
    if (output.ends_with('/')) return true;
#ifdef _WIN32
    if (output.ends_with('\\')) return true;
#endif
    std::error_code error;
    return fs::is_directory(platform::PathFromUtf8(output), error);
}

FleetBackup::FleetBackup(std::string folder, const std::vector<PortTarget>& ports, int model)
    : folder_(std::move(folder)), model_(model), started_(LocalTime()) {
    entries_.resize(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) entries_[i].port = ports[i].name;
}

std::optional<FleetBackup> FleetBackup::Start(const std::string& folder,
                                              const std::vector<PortTarget>& ports, int model,
                                              Failure& failure) {
    std::error_code error;
    fs::create_directories(platform::PathFromUtf8(folder), error);
    if (error || !IsOutputFolder(folder)) {
        failure = {kExitFileFailed,
                   "-o " + folder + ": " + (error ? error.message() : "not a folder")};
        return std::nullopt;
    }
    FleetBackup backup(folder, ports, model);
    // Every port's identity is looked up once, before any of them runs.
    const PresentUsbPorts present;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        Entry& entry = backup.entries_[i];
        const platform::UsbPortNode* node = NodeOf(ports[i], present);
        entry.identity = present.NameOf(node);
        entry.who = ports[i].name;
        if (node != nullptr && !node->identity.serialNumber.empty()) {
            entry.who = node->identity.serialNumber;
        } else if (node != nullptr && !node->identity.busPath.empty()) {
            entry.who = "usb-" + node->identity.busPath;
        }
    }
    return backup;
}

FleetBackup::Entry& FleetBackup::EntryOf(const PortTarget& port) {
    for (Entry& entry : entries_) {
        if (entry.port == port.name) return entry;
    }
    return entries_.front();  // every port of the run has its entry
}

std::string FleetBackup::FileStem(const std::string& modelName, const std::string& who,
                                  const std::string& day) {
    return Plain(modelName) + "_" + Plain(who) + "_" + day;
}

std::optional<std::string> FleetBackup::Save(const PortTarget& port,
                                             const status::PrinterStatus& record,
                                             const status::PrinterInfo& info, Failure& failure) {
    Entry& entry = EntryOf(port);
    entry.info = info;
    const std::string model =
        info.modelName.empty() ? std::string(ModelName(model_)) : info.modelName;
    const status::StatusFileImage image = status::EncodeStatusImage(record);
    int error = 0;
    const fs::path folder = platform::PathFromUtf8(folder_);
    entry.file = WriteUnder(folder, FileStem(model, entry.who, started_.substr(0, 10)), ".sts",
                            image, error);
    if (entry.file.empty()) {
        Failed(port, {kExitFileFailed,
                      port.name + ": " + folder_ + ": " + platform::SystemReason(error)});
        failure = {kExitFileFailed, entry.error};
        return std::nullopt;
    }
    entry.exitCode = kExitDone;
    entry.error.clear();
    return platform::Utf8OfPath(folder / platform::PathFromUtf8(entry.file));
}

void FleetBackup::Failed(const PortTarget& port, const Failure& failure) {
    Entry& entry = EntryOf(port);
    entry.exitCode = failure.exitCode;
    entry.error = failure.message;
}

std::optional<std::string> FleetBackup::WriteIndex(Failure& failure) const {
    Json printers = Json::array();
    for (const Entry& entry : entries_) {
        Json printer;
        printer["port"] = entry.port;
        printer["identity"] = TextOrNull(entry.identity);
        printer["file"] = TextOrNull(entry.file);
        printer["modelName"] = TextOrNull(entry.info.modelName);
        printer["firmwareVersion"] = TextOrNull(entry.info.firmwareVersion);
        printer["exitCode"] = entry.exitCode;
        if (entry.exitCode != kExitDone) printer["error"] = entry.error;
        printers.push_back(std::move(printer));
    }
    const Json index = {{"format", "talq-backup/1"},
                        {"started", started_},
                        {"model", std::string(ModelName(model_))},
                        {"printers", std::move(printers)}};
    const std::string text = JsonText(index);
    int error = 0;
    const fs::path folder = platform::PathFromUtf8(folder_);
    const std::string name =
        WriteUnder(folder, "talq-backup_" + started_.substr(0, 10), ".json",
                   {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, error);
    if (name.empty()) {
        failure = {kExitFileFailed, folder_ + ": the index: " + platform::SystemReason(error)};
        return std::nullopt;
    }
    return platform::Utf8OfPath(folder / platform::PathFromUtf8(name));
}

}  // namespace talq::cli
