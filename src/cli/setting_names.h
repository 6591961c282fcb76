// Settings named as talq show prints them: "Paper width=2 inch", "Auto Cutter=Full Cut",
// "default code page=PC850" and, for the printer's own serial settings, "baud=9600".
#pragma once

#include <optional>
#include <string>

namespace talq::cli {

// What a setting names: one pin of the model's catalogue, or a setting held in several pins.
enum class SettingKind { kPin, kCodePage, kBaud, kDataBits, kParity, kFlowControl };

struct NamedSetting {
    SettingKind kind = SettingKind::kPin;
    int slot = 0, pin = 0, value = 0;  // kPin: the pin and the value its word stands for
    std::string word;                  // the other kinds: the word, for their own lists to judge
};

// CAPTION=WORD on `model`, both without regard to case or to white space around them. The
// caption may end in ":" as show prints it, and may be narrowed as "switch 10 [PIN 5] Paper
// width". On a name that fits no setting or several, or a word the pin lacks, says why in
// `error` with the candidates.
std::optional<NamedSetting> ResolveSetting(const std::string& text, int model, std::string& error);

}  // namespace talq::cli
