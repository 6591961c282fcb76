// A small template with one of each kind of control the loader handles, and the status
// dialog's two file questions.
#pragma once

#include "ui/dialog_template.h"
#include "ui/prompts.h"

namespace talq::test {

inline const ui::DialogTemplate& SampleTemplate() {
    using enum ui::ControlKind;
    using namespace ui;
    static const DialogTemplate sample{
        900, "Sample", 200, 125, "MS Sans Serif", 8,
        {
            {1, DefaultPushButton, "OK", {140, 7, 50, 14}, kTabStop},
            {2, PushButton, "Cancel", {140, 25, 50, 14}, kTabStop},
            {10, RadioButton, "A", {15, 17, 30, 10}, kGroup},
            {11, RadioButton, "B", {50, 17, 30, 10}},
            {12, RadioButton, "C", {15, 45, 30, 10}, kGroup},
            {13, RadioButton, "D", {50, 45, 30, 10}},
            // Listed after the buttons it frames, as templates often do.
            {kNoId, GroupBox, "First", {7, 5, 120, 30}, kGroup},
            {kNoId, Label, "Port", {15, 72, 40, 8}},
            {20, DropDownList, "", {60, 70, 60, 50}, kTabStop | kVScroll, {"COM1", "COM2", "COM3"}},
            {kNoId, Label, "Parity", {15, 90, 40, 8}},
            {21, DropDownCombo, "", {60, 88, 60, 50}, kTabStop, {"None", "Odd", "Even"}},
            {30, Label, "text", {15, 108, 80, 8}},
            {31, CheckBox, "Check", {100, 108, 40, 10}, kTabStop | kDisabled},
            {40, ProgressBar, "", {140, 50, 50, 8}, kSmooth},
        }};
    return sample;
}

inline ui::FileRequest SaveStatusRequest() {
    ui::FileRequest save;
    save.save = true;
    save.title = "Save current status";
    save.initialName = "Noname.sts";
    save.filter = "Status Files (*.sts)|*.sts|";
    save.defaultExtension = "sts";
    return save;
}

inline ui::FileRequest LoadStatusRequest() {
    ui::FileRequest load;
    load.title = "Load saved status";
    load.initialName = "*.sts";
    load.filter = "Status Files (*.sts)|*.sts|";
    load.mustExist = true;
    return load;
}

}  // namespace talq::test
