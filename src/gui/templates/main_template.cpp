#include "gui/templates/templates.h"

#include "gui/main_ids.h"

namespace talq::gui {

const ui::DialogTemplate& MainTemplate() {
    using enum ui::ControlKind;
    using namespace ui;
    // Template order is the keyboard order.
    static const DialogTemplate main{
        kMainTemplate, "Talquist Manager(V3.0.6a)", 239, 190, "MS Sans Serif", 8,
        {
            {kIdExit, PushButton, "Exit", {152, 162, 80, 19}, kTabStop},
            {kNoId, Label, "Device Selection", {27, 17, 57, 12}},
            {kIdSerial, RadioButton, "SERIAL", {33, 55, 39, 8}, kGroup},
            {kIdParallel, RadioButton, "PARALLEL", {100, 56, 50, 8}},
            {kIdUsb, RadioButton, "USB", {178, 52, 29, 15}},
            {kIdCheckCommunication, DefaultPushButton, "Check Communication", {152, 79, 80, 19},
             kGroup | kTabStop},
            {kIdSelfTest, PushButton, "Self Test", {152, 107, 80, 19}, kTabStop | kDisabled},
            {kIdRunManager, PushButton, "Run Manager", {152, 135, 80, 19}, kTabStop | kDisabled},
            {kIdBaudList, DropDownList, "", {65, 103, 67, 59}, kTabStop | kVScroll},
            {kIdDataBitsList, DropDownList, "", {65, 118, 67, 59}, kTabStop | kVScroll, {"8", "7"}},
            {kIdParityList, DropDownCombo, "", {65, 133, 67, 59}, kTabStop, {"None", "Odd", "Even"}},
            {kIdStopBitsList, DropDownList, "", {65, 148, 67, 59}, kTabStop, {"1", "1.5", "2"}},
            {kNoId, GroupBox, "Interface Type", {7, 40, 225, 31}},
            {kNoId, GroupBox, "Communication Setting", {7, 75, 133, 108}},
            {kNoId, Label, "Baud Rate", {15, 105, 44, 8}},
            {kNoId, Label, "Data Bits", {15, 120, 44, 8}},
            {kNoId, Label, "Parity", {15, 135, 44, 9}},
            {kNoId, Label, "Stop Bits", {15, 150, 44, 9}},
            {kIdFlowControlList, DropDownList, "", {65, 163, 67, 59}, kTabStop,
             {"Hardware", "Xon/Xoff"}},
            {kNoId, Label, "Flow Control", {15, 165, 44, 9}},
            {kIdModelList, DropDownList, "", {85, 18, 96, 59}, kTabStop,
             {"KTV-520plus", "KTV-540/542", "KTV-520plusF"}},
            {kIdPortList, DropDownList, "", {65, 88, 67, 126}, kTabStop},
            {kNoId, Label, "Port", {15, 91, 44, 8}},
        },
        kSystemMenu | kTaskbar};
    return main;
}

}  // namespace talq::gui
