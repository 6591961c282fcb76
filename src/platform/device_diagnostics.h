// What the system tells about the way to a device, for `talq doctor`: the node and who may open
// it, who holds it, what is behind it, and the USB devices with their drivers. Each fact as the
// system states it; judging them is the caller's. Looks only: nothing here opens a device, except
// where the system answers "may I open it?" and "is it held?" only to an open (Windows), and
// then only for a moment with nothing sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace talq::platform {

struct ProcessInfo {
    long pid = 0;      // 0 where the system does not say which process
    std::string name;  // the program's name as the system knows it ("ModemManager")
};

struct DeviceHolders {
    std::vector<ProcessInfo> processes;  // those the system names
    bool held = false;                   // someone holds it, named or not
    int unseen = 0;  // processes whose open files this user may not look at
    // For a pseudo-terminal: the programs at its other end, where a printer would be (a
    // simulated printer, a device server's daemon); they are no holders.
    std::vector<ProcessInfo> otherEnd;
};

// Who has the device open, this process left out.
DeviceHolders FindDeviceHolders(const std::string& devicePath);

// This user and the group that owns a node.
enum class GroupStanding {
    Member,      // in the group, in this session too
    AfterLogin,  // added to the group, but this session began before: it lacks the group
    NotMember,
};

struct DeviceNode {
    std::string path;
    std::string resolved;  // the node a link leads to; the path itself when it is none
    bool exists = false;
    std::string reason;  // the system's words when it does not exist
    bool device = false;  // a character device (on Windows: a device name the system knows)
    std::string kind;     // "character device 188:0", "regular file", "\Device\Serial0"
    // Owner, group and mode ("crw-rw----"); empty where the system keeps none of them.
    std::string owner, group, mode;
    bool permissionsKnown = false;  // whether mayOpen is known without an open
    bool mayOpen = false;           // this user may read and write it
    std::string refusal;            // the system's words when not
    bool groupMayOpen = false;      // the group's permission bits allow read and write
    GroupStanding standing = GroupStanding::NotMember;
    std::string driver;   // the system's driver behind it ("ftdi_sio", "serial"), or ""
    std::string adapter;  // the hardware behind it in words ("USB 0403:6001 FT232R ..."), or ""
    bool console = false;  // the system's console writes to it
};

DeviceNode ExamineDeviceNode(const std::string& devicePath);

struct UsbInterfaceDriver {
    int interfaceClass = -1;  // 7: printer
    std::string driver;       // "" when no driver is bound
};

struct UsbDeviceDetails {
    std::string where;  // its place on the bus ("1-1.3"), or the system's name for it
    std::string manufacturer, product, serial;
    std::vector<UsbInterfaceDriver> interfaces;
    std::string rawNode;  // the node programs open to drive it themselves ("/dev/bus/usb/001/004")
    std::vector<ProcessInfo> claimedBy;  // processes holding rawNode
};

// The details of a present USB device by the syspath the USB bus reports.
UsbDeviceDetails DescribeUsbDevice(const std::string& syspath);

// The rule that lets the user at the seat open the maker's USB printers, where the system has
// such rules: installed at `path`, or not ("" with `applies`).
struct PrinterAccessRule {
    bool applies = false;
    std::string name;  // the rule file's name
    std::string path;  // where it is installed, or ""
};
PrinterAccessRule FindPrinterAccessRule();

// "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64 x86_64"
std::string SystemDescription();
// This process's user name.
std::string UserName();

}  // namespace talq::platform
