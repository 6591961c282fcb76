#include "ui/data_exchange.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "ui/dialog.h"
#include "ui/sample_template.h"
#include "ui/support/widget_actions.h"

namespace talq::ui {
namespace {

class SampleDialog : public Dialog {
  public:
    SampleDialog() : Dialog(test::SampleTemplate()) {
        OnClicked(10, [this] { ++handled; });
        OnSelectionChange(20, [this] { ++handled; });
        OnSelectionChange(21, [this] { ++handled; });
    }
    void DoDataExchange(DataExchange& exchange) override {
        exchange.Radio(10, first);
        exchange.Radio(12, second);
        exchange.ComboIndex(20, port);
        exchange.ComboIndex(21, parity);
        exchange.Text(30, text);
        exchange.Check(31, check);
    }
    int first = -1, second = 1, port = 2, parity = -1, check = 1;
    std::string text = "pushed";
    int handled = 0;
};

TEST(DataExchange, FieldsAndControlsMirrorEachOtherWithoutRunningHandlers) {
    SampleDialog dialog;
    dialog.show();  // the first exchange pushes the fields
    EXPECT_EQ(dialog.ItemAs<QComboBox>(20)->currentText(), "COM3");
    EXPECT_EQ(dialog.ItemAs<QComboBox>(21)->currentIndex(), -1);
    EXPECT_EQ(dialog.handled, 0);

    dialog.first = 0, dialog.second = -1, dialog.port = -1, dialog.parity = 1, dialog.check = 0;
    dialog.text = "again";
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.handled, 0);
    dialog.first = dialog.second = dialog.port = dialog.parity = dialog.check = 7;
    dialog.text.clear();
    dialog.UpdateData(true);
    EXPECT_EQ(std::tuple(dialog.first, dialog.second, dialog.port, dialog.parity, dialog.check),
              std::tuple(0, -1, -1, 1, 0));
    EXPECT_EQ(dialog.text, "again");

    // What the user does runs the handlers, also a click on the selected button.
    test::Click(*dialog.Item(10));
    test::Choose(*dialog.ItemAs<QComboBox>(20), 1);
    EXPECT_EQ(dialog.handled, 2);
}

TEST(DataExchange, TextTypedIntoAnEditableListReadsAsNoSelectionAndIsNotAdded) {
    SampleDialog dialog;
    dialog.show();
    auto* parity = dialog.ItemAs<QComboBox>(21);
    test::Choose(*parity, 2);
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.parity, 2);

    parity->lineEdit()->selectAll();
    QTest::keyClicks(parity->lineEdit(), "Mark");
    QTest::keyClick(parity->lineEdit(), Qt::Key_Return);
    dialog.UpdateData(true);
    EXPECT_EQ(dialog.parity, -1);
    EXPECT_EQ(test::Entries(*parity), (std::vector<std::string>{"None", "Odd", "Even"}));
}

}  // namespace
}  // namespace talq::ui
