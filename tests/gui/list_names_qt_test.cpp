// What a screen reader calls every list of the dialogs: its own label, or the
// title of the frame it sits in when it has none, never another row's label.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>
#include <map>
#include <string>

#include "gui/main_ids.h"
#include "gui/printer_setting_page.h"
#include "gui/templates/status_templates.h"
#include "gui/templates/templates.h"
#include "ui/qt/dialog_controls.h"
#include "ui/support/widget_actions.h"

namespace talq::gui {
namespace {

TEST(ListNames, EveryListIsNamedByItsOwnLabelOrFrame) {
    using Page = PrinterSettingPage;
    const std::vector<std::pair<const ui::DialogTemplate&, std::map<int, std::string>>> dialogs = {
        {AboutTemplate(), {}},
        {MainTemplate(),
         {{kIdModelList, "Device Selection"},
          {kIdPortList, "Port"},
          {kIdBaudList, "Baud Rate"},
          {kIdDataBitsList, "Data Bits"},
          {kIdParityList, "Parity"},
          {kIdStopBitsList, "Stop Bits"},
          {kIdFlowControlList, "Flow Control"}}},
        {MemorySwitchTemplate(), {}},
        {StatusDialogTemplate(), {}},
        {PrinterSettingTemplate(),
         {{Page::kBaudRateId, "Baund Rate :"},
          {Page::kDataBitsId, "Data Bits :"},
          {Page::kParityId, "Parity :"},
          {Page::kFlowControlId, "Flow Control :"},
          {Page::kCodePageId, "Default Code Page"}}},
    };
    for (const auto& [layout, names] : dialogs) {
        QWidget window;
        ui::qt::DialogControls controls;
        controls.Load(layout, window);
        std::map<int, std::string> named;
        for (const auto& control : layout.controls) {
            if (control.kind != ui::ControlKind::DropDownList &&
                control.kind != ui::ControlKind::DropDownCombo) {
                continue;
            }
            // A list with an entry selected is called by that entry on Linux; the loader leaves
            // each one empty, so its name is what the reader says for the list itself.
            QWidget& list = *controls.Item(control.id);
            named[control.id] =
                QAccessible::queryAccessibleInterface(&list)->text(QAccessible::Name).toStdString();
            // Once an entry is selected, the "labelled by" relation alone names the list.
            const std::string label = test::LabelledBy(list);
            EXPECT_TRUE(label.empty() || label == named[control.id]) << control.id << ' ' << label;
        }
        EXPECT_EQ(named, names) << layout.id;
    }
}

}  // namespace
}  // namespace talq::gui
