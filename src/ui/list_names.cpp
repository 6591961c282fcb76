#include "ui/list_names.h"

namespace talq::ui {

namespace {

constexpr std::size_t kNoFrame = static_cast<std::size_t>(-1);

bool IsList(ControlKind kind) {
    return kind == ControlKind::DropDownList || kind == ControlKind::DropDownCombo;
}

DialogRect ClosedList(DialogRect list) {
    list.height = kClosedListHeight;
    return list;
}

bool Contains(const DialogRect& outer, const DialogRect& inner) {
    return outer.x <= inner.x && outer.y <= inner.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// The innermost group box whose rectangle holds `rect`, or kNoFrame.
std::size_t FrameOf(const std::vector<ControlTemplate>& controls, const DialogRect& rect) {
    std::size_t frame = kNoFrame;
    long smallest = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogRect& box = controls[i].rect;
        const long area = static_cast<long>(box.width) * box.height;
        if (controls[i].kind == ControlKind::GroupBox && Contains(box, rect) &&
            (frame == kNoFrame || area < smallest)) {
            frame = i;
            smallest = area;
        }
    }
    return frame;
}

}  // namespace

std::string WithoutMnemonic(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && ++i == text.size()) break;
        plain += text[i];
    }
    return plain;
}

std::vector<ListName> ListNames(const DialogTemplate& dialog) {
    const auto& controls = dialog.controls;
    std::vector<ListName> names;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!IsList(controls[i].kind)) continue;
        const DialogRect& list = controls[i].rect;
        const std::size_t frame = FrameOf(controls, ClosedList(list));
        // The label on the list's row inside its frame, the nearest one to its left. A label
        // of a neighbouring frame may share the row without belonging to the list.
        ListName name{i, std::nullopt, ""};
        int nearest = -1;
        for (std::size_t j = 0; j < controls.size(); ++j) {
            const DialogRect& label = controls[j].rect;
            const bool onRow =
                label.y < list.y + kClosedListHeight && list.y < label.y + label.height;
            const bool leftOf = label.x + label.width <= list.x + 2;
            const bool mnemonics = (controls[j].style & kNoPrefix) == 0;
            if (controls[j].kind == ControlKind::Label && mnemonics && onRow && leftOf &&
                label.x > nearest && FrameOf(controls, label) == frame) {
                name.label = j;
                nearest = label.x;
            }
        }
        if (name.label) {
            name.name = WithoutMnemonic(controls[*name.label].text);
        } else if (frame != kNoFrame) {
            name.name = WithoutMnemonic(controls[frame].text);
        }
        if (!name.name.empty()) names.push_back(std::move(name));
    }
    return names;
}

}  // namespace talq::ui
