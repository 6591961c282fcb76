#include "cli/usb_entries.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "link/usb_discovery.h"
#include "platform/usb_bus.h"

namespace talq::cli {
namespace {

// USB discovery writes its diagnostic lines to standard output; while it runs they go to
// standard error (or nowhere when quiet).
class DiagnosticsAside {
  public:
    explicit DiagnosticsAside(bool quiet) {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        const int target = quiet ? ::open("/dev/null", O_WRONLY | O_CLOEXEC) : STDERR_FILENO;
        if (saved_ >= 0 && target >= 0) ::dup2(target, STDOUT_FILENO);
        if (quiet && target >= 0) ::close(target);
    }
    ~DiagnosticsAside() {
        std::fflush(stdout);
        if (saved_ < 0) return;
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
    }
    DiagnosticsAside(const DiagnosticsAside&) = delete;
    DiagnosticsAside& operator=(const DiagnosticsAside&) = delete;

  private:
    int saved_ = -1;
};

}  // namespace

std::vector<std::string> UsbEntries(bool quiet) {
    DiagnosticsAside aside(quiet);
    link::PortList list;
    link::FindUsbPrinters(list);
    return list.entries();
}

std::string NoUsbEntriesReason() {
    const auto devices = platform::CurrentUsbBus().PresentDevices();
    if (!devices) return "the system gives no list of USB devices";
    std::size_t makers = 0;
    for (const platform::UsbDeviceInfo& device : *devices) {
        if (link::UsbModelLabel(device.vendorId, device.productId) != nullptr) ++makers;
    }
    if (makers == 0) {
        return "no KTV printer is plugged in (" + std::to_string(devices->size()) +
               " USB devices present)";
    }
    return std::to_string(makers) +
           " KTV printer(s) found, but none could be opened (see `talq ports`)";
}

}  // namespace talq::cli
