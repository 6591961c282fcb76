// What the connection dialog offers: its fixed port names and each model's
// baud rates. The dialog and talq both offer exactly these.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talq::link {

// "COM1".."COM10", in the list's order.
std::vector<std::string> ComPortNames();
// "LPT1".."LPT3".
std::vector<std::string> LptPortNames();

// The baud rates model `model` offers, slowest first: "KTV-540/542" (model 1)
// starts at 9600, the others at 2400.
std::span<const std::string_view> BaudRatesOf(int model);
// The rate a model starts with: its fastest for "KTV-540/542", 19200 for the others.
std::string_view DefaultBaudRate(int model);

}  // namespace talq::link
