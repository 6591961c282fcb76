#include "platform/win32/winspool_spooler.h"

#include <windows.h>
#include <winspool.h>

#include <memory>

#include "platform/platform.h"
#include "platform/port_devices.h"
#include "platform/port_match.h"
#include "platform/win32/dcb_settings.h"
#include "platform/win32/system_library.h"
#include "platform/win32/utf8.h"

namespace talq::platform::win32 {
namespace {

// The print system's library is loaded at the first look at a queue, not at the program's
// start: most runs look at none, and loading it costs the dialog program a good part of its
// start-up. Without the library every call fails, as with no spooler.
struct SpoolerCalls {
    decltype(&OpenPrinterA) openPrinter = nullptr;
    decltype(&ClosePrinter) closePrinter = nullptr;
    decltype(&GetPrinterA) getPrinter = nullptr;
    decltype(&SetPrinterA) setPrinter = nullptr;
    decltype(&EnumPrintersA) enumPrinters = nullptr;
};

template <typename Function>
void Resolve(HMODULE library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const SpoolerCalls& SpoolerLibrary() {
    static const SpoolerCalls calls = [] {
        SpoolerCalls loaded;
        HMODULE library = LoadSystemLibrary(L"winspool.drv");
        if (library == nullptr) return loaded;
        Resolve(library, "OpenPrinterA", loaded.openPrinter);
        Resolve(library, "ClosePrinter", loaded.closePrinter);
        Resolve(library, "GetPrinterA", loaded.getPrinter);
        Resolve(library, "SetPrinterA", loaded.setPrinter);
        Resolve(library, "EnumPrintersA", loaded.enumPrinters);
        return loaded;
    }();
    return calls;
}

// Each call of the library, failing with ERROR_PROC_NOT_FOUND when it could not be loaded.
template <typename Function, typename... Args>
BOOL Call(Function function, Args... args) {
    if (function == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    return function(args...);
}

// A queue opened for changing its settings; without the rights for that the
// open fails and the queue is left alone.
class OpenQueue {
  public:
    explicit OpenQueue(const std::string& name) {
        PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!Call(SpoolerLibrary().openPrinter, const_cast<char*>(name.c_str()), &handle_,
                  &access)) {
            handle_ = nullptr;
            error_ = GetLastError();
        }
    }
    ~OpenQueue() {
        if (handle_ != nullptr) Call(SpoolerLibrary().closePrinter, handle_);
    }
    OpenQueue(const OpenQueue&) = delete;
    OpenQueue& operator=(const OpenQueue&) = delete;

    HANDLE handle() const { return handle_; }
    bool Missing() const { return error_ == ERROR_INVALID_PRINTER_NAME; }

  private:
    HANDLE handle_ = nullptr;
    DWORD error_ = 0;
};

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
using Level2 = std::unique_ptr<BYTE, LocalFreer>;

// The queue's level-2 record in a zero-filled buffer of the size the spooler
// asks for; empty when it cannot be read.
Level2 ReadLevel2(HANDLE queue) {
    DWORD needed = 0;
    if (!Call(SpoolerLibrary().getPrinter, queue, 2, nullptr, 0, &needed) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return nullptr;
    }
    Level2 buffer(static_cast<BYTE*>(LocalAlloc(LPTR, needed)));
    if (!buffer || !Call(SpoolerLibrary().getPrinter, queue, 2, buffer.get(), needed, &needed))
        return nullptr;
    return buffer;
}

PRINTER_INFO_2A& Info(const Level2& buffer) {
    return *reinterpret_cast<PRINTER_INFO_2A*>(buffer.get());
}

std::string Text(const char* text) {
    return text != nullptr ? text : "";
}

// "COM1".."COM256", the names a port's default configuration is kept under.
bool IsComName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0) return false;
    return name.find_first_not_of("0123456789", 3) == std::string::npos && name[3] != '0';
}

bool Control(const std::string& name, DWORD command) {
    OpenQueue queue(name);
    return queue.handle() != nullptr &&
           Call(SpoolerLibrary().setPrinter, queue.handle(), 0, nullptr, command);
}

}  // namespace

// One spooler: the local machine's.
std::string WinspoolSpooler::Scheduler() {
    return {};
}

std::unique_ptr<Spooler> WinspoolSpooler::Reach(const std::string& scheduler) {
    if (!scheduler.empty()) return nullptr;
    return std::make_unique<WinspoolSpooler>();
}

// A queue names the port it prints to ("COM12:"): the one the port name really
// opens, so that with COM3 mapped to COM12 the queue on COM12 is held and the
// one on COM3 left alone. A port mapped to a file path matches that path.
std::string WinspoolSpooler::PortMatchText(const std::string& portName) {
    const std::string device = DevicePathForPort(portName);
    const std::string name = SystemDeviceName(device);
    return name.empty() ? device : name;
}

bool WinspoolSpooler::PrintsTo(const std::string& portText, const std::string& match) {
    return PortListNamesPort(portText, match);
}

std::string WinspoolSpooler::DiscardPort() {
    return "FILE:";
}

std::optional<std::vector<SpoolerQueue>> WinspoolSpooler::LocalQueues() {
    DWORD needed = 0, count = 0;
    if (!Call(SpoolerLibrary().enumPrinters, PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed,
              &count) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return std::nullopt;
    }
    std::vector<SpoolerQueue> queues;
    if (needed == 0) return queues;
    Level2 buffer(static_cast<BYTE*>(LocalAlloc(LPTR, needed)));
    if (!buffer || !Call(SpoolerLibrary().enumPrinters, PRINTER_ENUM_LOCAL, nullptr, 2,
                         buffer.get(), needed, &needed, &count)) {
        return std::nullopt;
    }
    const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.get());
    for (DWORD i = 0; i < count; ++i) {
        queues.push_back({Text(records[i].pPrinterName), Text(records[i].pPortName)});
    }
    return queues;
}

QueueState WinspoolSpooler::ReadQueue(const std::string& name) {
    QueueState state;
    OpenQueue queue(name);
    if (queue.handle() == nullptr) {
        state.lookup = queue.Missing() ? QueueLookup::Missing : QueueLookup::Failed;
        return state;
    }
    const Level2 record = ReadLevel2(queue.handle());
    if (!record) return state;
    state.lookup = QueueLookup::Found;
    state.portText = Text(Info(record).pPortName);
    state.paused = (Info(record).Status & PRINTER_STATUS_PAUSED) != 0;
    return state;
}

// Every other field of the record goes back as it was read.
bool WinspoolSpooler::SetPortText(const std::string& name, const std::string& portText) {
    OpenQueue queue(name);
    if (queue.handle() == nullptr) return false;
    const Level2 record = ReadLevel2(queue.handle());
    if (!record) return false;
    std::string port = portText;
    Info(record).pPortName = port.data();
    return Call(SpoolerLibrary().setPrinter, queue.handle(), 2, record.get(), 0) != 0;
}

bool WinspoolSpooler::Pause(const std::string& name) {
    return Control(name, PRINTER_CONTROL_PAUSE);
}

bool WinspoolSpooler::Resume(const std::string& name) {
    return Control(name, PRINTER_CONTROL_RESUME);
}

std::optional<std::string> WinspoolSpooler::PortDefaults(const std::string& match) {
    if (!IsComName(match)) return std::nullopt;
    const std::wstring name = Utf8ToWide(match);
    // A serial driver may add data of its own after the record.
    std::string defaults(sizeof(COMMCONFIG) + 1024, '\0');
    auto* config = reinterpret_cast<COMMCONFIG*>(defaults.data());
    config->dwSize = sizeof(COMMCONFIG);
    DWORD size = static_cast<DWORD>(defaults.size());
    if (!GetDefaultCommConfigW(name.c_str(), config, &size) || size < sizeof(COMMCONFIG) ||
        size > defaults.size()) {
        return std::nullopt;
    }
    defaults.resize(size);
    return defaults;
}

bool WinspoolSpooler::SetPortDefaults(const std::string& match, const std::string& defaults,
                                      const LineSettings* line) {
    if (!IsComName(match) || defaults.size() < sizeof(COMMCONFIG)) return false;
    std::string written = defaults;
    auto* config = reinterpret_cast<COMMCONFIG*>(written.data());
    // What this program opens the port with, so that what prints there reaches the printer
    // as this program does.
    if (line != nullptr) ApplyToDcb(*line, config->dcb);
    return SetDefaultCommConfigW(Utf8ToWide(match).c_str(), config,
                                 static_cast<DWORD>(written.size())) != 0;
}

}  // namespace talq::platform::win32
