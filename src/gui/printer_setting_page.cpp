#include "gui/printer_setting_page.h"

#include <QComboBox>

#include "gui/templates/status_templates.h"
#include "status/code_pages.h"
#include "status/serial_encoding.h"
#include "ui/data_exchange.h"

namespace talq::gui {

namespace {

void FillBaudList(QComboBox& combo, int model) {
    combo.clear();
    const auto add = [&combo](const auto& texts) {
        for (const auto text : texts) {
            combo.addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }
    };
    if (model == 0 || model == 2) add(status::kQueriedBaudTexts);
    if (model == 1) add(status::kSwitchBaudTexts);
    // Adding to an empty list selects its first entry; the list starts with none.
    combo.setCurrentIndex(-1);
}

}  // namespace

void PrinterSettingPage::Create(QWidget& parent) {
    setParent(&parent);
    hide();
    controls_.Load(PrinterSettingTemplate(), *this);
    const auto onChange = [this](int id, auto handler) {
        auto* combo = qobject_cast<QComboBox*>(Item(id));
        connect(combo, &QComboBox::activated, this, handler);
    };
    onChange(kCodePageId, [this] { OnCodePageChange(); });
    onChange(kBaudRateId, [this] { OnBaudRateChange(); });
    onChange(kDataBitsId, [this] { OnDataBitsChange(); });
    onChange(kParityId, [this] { OnParityChange(); });
    onChange(kFlowControlId, [this] { OnFlowControlChange(); });
    OnInitDialog();
}

void PrinterSettingPage::OnInitDialog() {
    UpdateData(false);
    FillBaudList(*qobject_cast<QComboBox*>(Item(kBaudRateId)), model);
}

void PrinterSettingPage::RefreshFromStatus(bool enable) {
    if (!enable) {
        info = status::PrinterInfo{};
        codePageIndex = -1;
        UpdateData(false);
    } else if (status != nullptr) {
        codePageIndex = status::DecodeCodePage(*status);
        auto* codePages = qobject_cast<QComboBox*>(Item(kCodePageId));
        codePages->setCurrentIndex(codePageIndex < codePages->count() ? codePageIndex : -1);
    }
    if (model == 1) {
        for (const int id : {kBaudRateId, kParityId, kDataBitsId, kFlowControlId, kCodePageId}) {
            Item(id)->setEnabled(enable);
        }
    } else if (model == 0 || model == 2) {
        Item(kCodePageId)->setEnabled(enable);
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
    field = ui::SelectedIndex(*qobject_cast<QComboBox*>(Item(id)));
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

void PrinterSettingPage::UpdateData(bool saveAndValidate) {
    ui::DataExchange exchange(controls_, saveAndValidate);
    DoDataExchange(exchange);
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
