#include "ui/data_exchange.h"

#include <gtest/gtest.h>

#include "ui/dialog.h"
#include "ui/sample_template.h"
#include "ui/support/ui_driver.h"

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
    Window& window = dialog.window();
    dialog.Show();  // the first exchange pushes the fields
    EXPECT_EQ(window.Text(20), "COM3");
    EXPECT_EQ(window.CurSel(21), -1);
    EXPECT_TRUE(window.IsChecked(13));
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
    EXPECT_EQ(window.Text(20), "");

    // What the user does runs the handlers, also a press on the checked button.
    test::Press(window, 10);
    test::Choose(window, 20, 1);
    EXPECT_EQ(dialog.handled, 2);
}

TEST(DataExchange, RadioGroupsFormAsTheDialogManagerFormsThem) {
    Dialog dialog(test::SampleTemplate());
    const DialogTemplate& sample = test::SampleTemplate();
    Window& window = dialog.window();
    EXPECT_EQ(RadioGroup(sample, 10), (std::vector<int>{10, 11}));
    EXPECT_EQ(RadioGroup(sample, 12), (std::vector<int>{12, 13}));
    EXPECT_EQ(RadioIndex(window, sample, 10), -1);
    SetRadioIndex(window, sample, 10, 1);
    SetRadioIndex(window, sample, 12, 0);
    EXPECT_EQ(RadioIndex(window, sample, 10), 1);
    SetRadioIndex(window, sample, 10, -1);
    EXPECT_EQ(RadioIndex(window, sample, 10), -1);
    EXPECT_EQ(RadioIndex(window, sample, 12), 0);  // the groups are apart
    // Both lists start with nothing selected.
    EXPECT_EQ(std::pair(window.CurSel(20), window.CurSel(21)), std::pair(-1, -1));
}

// An editable list forgets its selection at any typing, even of the selected entry's own
// text, and reads it again once an entry is chosen; typing never adds an entry.
TEST(DataExchange, TypingIntoAnEditableListReadsAsNoSelectionUntilTheNextChoice) {
    struct Case {
        const char* what;
        std::function<void(Window&)> act;
        int selection;
    };
    const Case cases[] = {
        {"a choice", [](Window& w) { test::Choose(w, 21, 2); }, 2},
        {"a text of no entry", [](Window& w) { test::Type(w, 21, "Mark"); }, -1},
        {"the selected entry's own text",
         [](Window& w) { test::Choose(w, 21, 0), test::Type(w, 21, "None"); }, -1},
        {"typing, then the same entry chosen again",
         [](Window& w) { test::Type(w, 21, "None"), test::Choose(w, 21, 0); }, 0},
        {"typing, then an entry selected by code",
         [](Window& w) { test::Type(w, 21, "Odd"), w.SetCurSel(21, 1); }, 1},
    };
    for (const auto& c : cases) {
        SampleDialog dialog;
        dialog.Show();
        test::Choose(dialog.window(), 21, 0);
        c.act(dialog.window());
        dialog.UpdateData(true);
        EXPECT_EQ(dialog.parity, c.selection) << c.what;
        EXPECT_EQ(ListSelection(dialog.window(), 21), c.selection) << c.what;
        EXPECT_EQ(dialog.window().Entries(21), (std::vector<std::string>{"None", "Odd", "Even"}))
            << c.what;
    }
}

}  // namespace
}  // namespace talq::ui
