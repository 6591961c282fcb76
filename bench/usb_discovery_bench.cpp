// Time of one USB printer discovery with 64 present USB devices, under a
// umockdev testbed (run wrapped by umockdev-wrapper). The first 32 devices
// have no printer node and eight of the rest are printers, so the scan walks
// every device and probes eight nodes: the longest scan 64 devices can give.
#include <fcntl.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/port_list.h"
#include "link/usb_discovery.h"

namespace {

constexpr int kDevices = 64;
constexpr int kRuns = 50;

bool AddDevice(UMockdevTestbed* bed, int index) {
    char port[8];
    std::snprintf(port, sizeof port, "%02d", index);
    const std::string devpath = std::string("/devices/pci0000:00/usb1/1-") + port;
    const bool printer = index >= 32 && index % 4 == 0;
    char ids[64];
    std::snprintf(ids, sizeof ids, "A: idVendor=%s\nA: idProduct=%s\n", printer ? "7c1a" : "0bda",
                  printer ? "0006" : "0129");
    std::string record = "P: " + devpath + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n" + ids;
    if (printer) {
        const std::string lp = "lp" + std::to_string(index);
        const std::string interface = devpath + "/1-" + port + ":1.0";
        record += "\nP: " + interface + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n";
        record += "\nP: " + interface + "/usbmisc/" + lp + "\nN: usb/" + lp +
                  "\nE: SUBSYSTEM=usbmisc\nE: DEVNAME=/dev/usb/" + lp + "\n";
    }
    GError* error = nullptr;
    const bool added = umockdev_testbed_add_from_string(bed, record.c_str(), &error);
    if (!added) {
        std::fprintf(stderr, "testbed: %s\n", error != nullptr ? error->message : "?");
        g_clear_error(&error);
    }
    return added;
}

}  // namespace

int main() {
    UMockdevTestbed* bed = umockdev_testbed_new();
    if (!umockdev_in_mock_environment()) {
        std::fprintf(stderr, "run under umockdev-wrapper\n");
        return 2;
    }
    for (int i = 0; i < kDevices; ++i) {
        if (!AddDevice(bed, i)) return 1;
    }

    // The probes' diagnostic lines would swamp the figure.
    std::fflush(stdout);
    const int savedStdout = ::dup(STDOUT_FILENO);
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDOUT_FILENO);

    std::vector<double> ms;
    std::size_t found = 0;
    for (int run = 0; run < kRuns; ++run) {
        talq::link::PortList list;
        const auto start = std::chrono::steady_clock::now();
        talq::link::FindUsbPrinters(list);
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        found = list.entries().size();
    }

    std::fflush(stdout);
    ::dup2(savedStdout, STDOUT_FILENO);
    ::close(devNull);
    ::close(savedStdout);
    g_object_unref(bed);

    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    const double p95 = ms[(ms.size() * 95) / 100 - 1];
    std::printf(
        "usb discovery, %d devices, %zu printers listed, %d runs: median %.2f ms, p95 %.2f ms\n",
        kDevices, found, kRuns, median, p95);
    return found == 8 ? 0 : 1;
}
