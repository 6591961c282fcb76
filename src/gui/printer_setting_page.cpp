#include "gui/printer_setting_page.h"

#include "gui/templates/status_templates.h"
#include "status/code_pages.h"
#include "status/serial_encoding.h"
#include "ui/data_exchange.h"

namespace talq::gui {

void PrinterSettingPage::FillBaudList() {
    window().ResetList(kBaudRateId);
    const auto add = [this](const auto& texts) {
        for (const auto text : texts) window().AddString(kBaudRateId, text);
    };
    if (model == 0 || model == 2) add(status::kQueriedBaudTexts);
    if (model == 1) add(status::kSwitchBaudTexts);
    // The list starts with no selection.
    window().SetCurSel(kBaudRateId, -1);
}

void PrinterSettingPage::Create(ui::Window& parent) {
    CreatePage(PrinterSettingTemplate(), parent);
    OnSelectionChange(kCodePageId, [this] { OnCodePageChange(); });
    OnSelectionChange(kBaudRateId, [this] { OnBaudRateChange(); });
    OnSelectionChange(kDataBitsId, [this] { OnDataBitsChange(); });
    OnSelectionChange(kParityId, [this] { OnParityChange(); });
    OnSelectionChange(kFlowControlId, [this] { OnFlowControlChange(); });
    OnInitDialog();
}

void PrinterSettingPage::OnInitDialog() {
    UpdateData(false);
    FillBaudList();
}

void PrinterSettingPage::RefreshFromStatus(bool enable) {
    if (!enable) {
        info = status::PrinterInfo{};
        codePageIndex = -1;
        UpdateData(false);
    } else if (status != nullptr) {
        codePageIndex = status::DecodeCodePage(*status);
        window().SetCurSel(kCodePageId, codePageIndex);
    }
    if (model == 1) {
        for (const int id : {kBaudRateId, kParityId, kDataBitsId, kFlowControlId, kCodePageId}) {
            window().Enable(id, enable);
        }
    } else if (model == 0 || model == 2) {
        window().Enable(kCodePageId, enable);
    }
}

void PrinterSettingPage::OnCodePageChange() {
    OnListChange(kCodePageId, codePageIndex, &status::EncodeCodePage);
}
void PrinterSettingPage::OnBaudRateChange() {
    OnListChange(kBaudRateId, info.baudIndex, &status::EncodeBaudRate);
}
void PrinterSettingPage::OnDataBitsChange() {
    OnListChange(kDataBitsId, info.dataBitsIndex, &status::EncodeDataBits);
}
void PrinterSettingPage::OnParityChange() {
    OnListChange(kParityId, info.parityIndex, &status::EncodeParity);
}
void PrinterSettingPage::OnFlowControlChange() {
    OnListChange(kFlowControlId, info.flowControlIndex, &status::EncodeFlowControl);
}

void PrinterSettingPage::OnListChange(int id, int& field,
                                      void (*encode)(status::PrinterStatus&, int)) {
    UpdateData(true);
    field = ui::ListSelection(window(), id);
    if (status != nullptr) encode(*status, field);
    UpdateData(false);
}

status::SerialSettingsIndexes PrinterSettingPage::SerialIndexes() const {
    return {info.baudIndex, info.dataBitsIndex, info.parityIndex, info.flowControlIndex};
}

void PrinterSettingPage::SetSerialIndexes(const status::SerialSettingsIndexes& indexes) {
    info.baudIndex = indexes.baud;
    info.dataBitsIndex = indexes.dataBits;
    info.parityIndex = indexes.parity;
    info.flowControlIndex = indexes.flowControl;
}

void PrinterSettingPage::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(kFirmwareVersionId, info.firmwareVersion);
    exchange.Text(kModelNameId, info.modelName);
    exchange.ComboIndex(kBaudRateId, info.baudIndex);
    exchange.ComboIndex(kDataBitsId, info.dataBitsIndex);
    exchange.ComboIndex(kFlowControlId, info.flowControlIndex);
    exchange.ComboIndex(kParityId, info.parityIndex);
    exchange.ComboIndex(kCodePageId, codePageIndex);
}

}  // namespace talq::gui
