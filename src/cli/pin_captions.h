// What a pin of a switch means on a model, in the catalogue's words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace talq::cli {

// "[PIN 4] User Setting", or "[PIN 3] Reserved"; empty without a model.
std::string PinCaption(std::optional<int> model, int slot, int pin);

// The caption of the value the pin holds ("Enable", "3 inch"); empty for a reserved pin or
// without a model. Any non-zero value reads as set, as Set Status sends it.
std::string PinMeaning(std::optional<int> model, int slot, int pin, std::int32_t value);

// "(1 Enable, 0 Disable)" for a catalogue pin; empty otherwise.
std::string PinChoices(std::optional<int> model, int slot, int pin);

}  // namespace talq::cli
