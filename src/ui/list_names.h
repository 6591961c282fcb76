// Names a screen reader gives a template's lists, computed once for every
// window system: a list is labelled by the label on its row inside the same
// frame (the innermost group box holding the closed list, or none on both
// sides), the nearest one to its left; a list with no such label is called
// by its frame's title.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_template.h"

namespace talq::ui {

struct ListName {
    std::size_t list = 0;                  // index in the template's controls
    std::optional<std::size_t> label;      // the label's index, when one names it
    std::string name;                      // the name read out, without '&'
};

std::vector<ListName> ListNames(const DialogTemplate& dialog);

// A title as read out: "&" marks the mnemonic and is not said, "&&" is one "&".
std::string WithoutMnemonic(const std::string& text);

// A closed list is one row high, whatever the template gives its drop-down.
inline constexpr int kClosedListHeight = 12;

}  // namespace talq::ui
