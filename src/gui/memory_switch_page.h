// The "Memory switch" tab page: one memory switch of the status record at a
// time, each pin as a caption and a pair of radio buttons labelled from the
// model's catalogue. A click stores the pin at once; Back and Next page.
#pragma once

#include <array>
#include <string>

#include "status/printer_status.h"
#include "ui/page.h"

namespace talq::gui {

class MemorySwitchPage : public ui::Page {
  public:
    static constexpr int kBackId = 1009;
    static constexpr int kNextId = 1010;
    static constexpr int kSwitchNumberId = 1000;
    // Pin k's left button (value 0) is 1048 + k, its right one (value 1) 1039 + k, its caption
    // 1062 + k.
    static constexpr int LeftButtonId(int pin) { return 1048 + pin; }
    static constexpr int RightButtonId(int pin) { return 1039 + pin; }
    static constexpr int CaptionId(int pin) { return 1062 + pin; }

    MemorySwitchPage();

    // Builds the page's controls from its template as a hidden child of `parent`.
    void Create(ui::Window& parent);

    // Shows `page` of the record, labelled and enabled from the catalogue when `enable`.
    void ShowPage(int page, bool enable);
    void OnNext();
    void OnBack();
    // Stores the clicked button's index as the pin's value.
    void OnPinOption(int pin, int value);


    int model = 0;                              // PrinterModel; set before Create
    status::PrinterStatus* status = nullptr;    // the status dialog's record
    int page = 1;                               // 1..6: page n shows slot n - 1
    std::string pageText = "1";                 // switch number shown in static 1000
    std::array<int, status::kPinsPerSwitch> selection;  // per pin: -1 none, 0 left, 1 right

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
};

}  // namespace talq::gui
