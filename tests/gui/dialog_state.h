// What the user sees of the connection dialog, gathered for comparisons.
#pragma once

#include <string>
#include <vector>

#include "gui/main_dialog.h"
#include "gui/main_ids.h"

namespace talq::test {

struct ListState {
    std::vector<std::string> entries;
    std::string selected;
    bool enabled = false;
    bool operator==(const ListState&) const = default;
};

inline ListState StateOf(const ui::Window& window, int id) {
    return {window.Entries(id), window.Text(id), window.IsEnabled(id)};
}

inline std::string CheckedInterface(const gui::MainDialog& dialog) {
    for (const auto& [id, name] : {std::pair{gui::kIdSerial, "SERIAL"},
                                   {gui::kIdParallel, "PARALLEL"},
                                   {gui::kIdUsb, "USB"}}) {
        if (dialog.window().IsChecked(id)) return name;
    }
    return "none";
}

// Enabled state of Check Communication, Self Test and Run Manager, as "101".
inline std::string Buttons(const gui::MainDialog& dialog) {
    std::string state;
    for (int id : {gui::kIdCheckCommunication, gui::kIdSelfTest, gui::kIdRunManager}) {
        state += dialog.window().IsEnabled(id) ? '1' : '0';
    }
    return state;
}

inline const std::vector<std::string> kComPorts = {"COM1", "COM2", "COM3", "COM4", "COM5",
                                                   "COM6", "COM7", "COM8", "COM9", "COM10"};
inline const std::vector<std::string> kBaudRates = {"2400",  "4800",  "9600",  "19200",
                                                    "38400", "57600", "115200"};
inline const std::vector<std::string> kBaudRates540 = {"9600", "19200", "38400", "57600", "115200"};

}  // namespace talq::test
