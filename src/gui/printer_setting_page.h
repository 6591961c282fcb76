// The "Printer Setting" tab page: the printer's model name and firmware
// version, its own serial settings and its default code page. A choice the
// user makes is encoded into the status record at once; on models 0 and 2 the
// serial lists only show what the printer reported.
#pragma once

#include "status/printer_info.h"
#include "status/printer_status.h"
#include "status/serial_encoding.h"
#include "ui/page.h"

namespace talq::gui {

class PrinterSettingPage : public ui::Page {
  public:
    static constexpr int kBaudRateId = 1013;
    static constexpr int kDataBitsId = 1014;
    static constexpr int kParityId = 1015;
    static constexpr int kFlowControlId = 1017;
    static constexpr int kCodePageId = 11;
    static constexpr int kFirmwareVersionId = 1059;
    static constexpr int kModelNameId = 1061;

    PrinterSettingPage() = default;

    // Builds the page's controls as a hidden child of `parent` and starts it.
    void Create(ui::Window& parent);

    // Shows the code page of the record and enables the model's lists; with `enable` false
    // blanks every field and disables them.
    void RefreshFromStatus(bool enable);

    void OnCodePageChange();
    void OnBaudRateChange();
    void OnDataBitsChange();
    void OnParityChange();
    void OnFlowControlChange();

    // The four serial-list fields as the switch 9 encoders see them.
    status::SerialSettingsIndexes SerialIndexes() const;
    void SetSerialIndexes(const status::SerialSettingsIndexes& indexes);


    status::PrinterStatus* status = nullptr;  // the status dialog's record
    int model = 1;                            // PrinterModel; set before Create
    // Firmware version, model name and the four serial indexes, as the exchanges fill them:
    // one object, so that clearing the texts also makes the next identification read them.
    status::PrinterInfo info;
    int codePageIndex = -1;

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    void OnInitDialog();
    // Takes the list's selection into `field` and encodes it with `encode`.
    void OnListChange(int id, int& field, void (*encode)(status::PrinterStatus&, int));
    void FillBaudList();
};

}  // namespace talq::gui
