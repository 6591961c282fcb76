#include "app/help_option.h"

#include <string_view>

namespace talq::app {

namespace {

constexpr const char* kHelp =
    "usage: talq-manager [-h|--help] [Qt options]\n"
    "Talquist Manager: reads, edits and writes the memory switches of KTV receipt\n"
    "printers (KTV-520plus, KTV-540/542, KTV-520plusF) over a serial, parallel or USB\n"
    "port. It opens the connection dialog and ends when that dialog is closed.\n"
    "  -h, --help         print this help and exit\n"
    "Qt's own options are accepted, e.g. -platform NAME, -style NAME, -display DISPLAY.\n"
    "Ports: COMn reaches /dev/ttyS(n-1) and LPTn /dev/lp(n-1) unless a line such as\n"
    "COM3=/dev/serial/by-id/usb-...  in ~/.config/talquist-manager/ports.conf or\n"
    "/etc/talquist-manager/ports.conf maps it elsewhere (talq map edits the first).\n"
    "Environment:\n"
    "  TALQ_COM1..TALQ_COM10  the device COMn reaches, over the ports files\n"
    "  TALQ_LPT1..TALQ_LPT3   the device LPTn reaches, over the ports files\n";

}  // namespace

std::optional<int> AnswerHelp(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            out << kHelp;
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace talq::app
