#include "gui/memory_switch_page.h"

#include <QAbstractButton>
#include <QLabel>

#include "gui/templates/status_templates.h"
#include "status/switch_catalogue.h"
#include "ui/data_exchange.h"

namespace talq::gui {

using status::SwitchCatalogue;

MemorySwitchPage::MemorySwitchPage() { selection.fill(-1); }

void MemorySwitchPage::Create(QWidget& parent) {
    setParent(&parent);
    hide();
    controls_.Load(MemorySwitchTemplate(), *this);
    const auto onClick = [this](int id, auto handler) {
        auto* button = qobject_cast<QAbstractButton*>(Item(id));
        connect(button, &QAbstractButton::clicked, this, handler);
    };
    onClick(kNextId, [this] { OnNext(); });
    onClick(kBackId, [this] { OnBack(); });
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        onClick(LeftButtonId(pin), [this, pin] { OnPinOption(pin, 0); });
        onClick(RightButtonId(pin), [this, pin] { OnPinOption(pin, 1); });
    }
    UpdateData(false);
}

void MemorySwitchPage::ShowPage(int shownPage, bool enable) {
    page = shownPage;
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        for (const int id : {LeftButtonId(pin), RightButtonId(pin)}) {
            Item(id)->setEnabled(false);
            SetText(id, status::kReservedButtonCaption);
        }
    }
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        SetText(CaptionId(pin), status::ReservedPinCaption(pin));
    }
    Item(kNextId)->setEnabled(enable);
    Item(kBackId)->setEnabled(enable);
    selection.fill(-1);

    const auto slot = status::SlotOfPage(page);
    const bool knownModel = model >= 0 && model <= 2;
    if (enable && knownModel && slot && status != nullptr) {
        const auto& pins = status->switches[static_cast<std::size_t>(*slot)].pins;
        for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
            const auto entry = SwitchCatalogue::Lookup(model, page, pin);
            if (!entry) continue;
            SetText(CaptionId(pin), entry->caption);
            SetText(RightButtonId(pin), entry->valueOneCaption);
            SetText(LeftButtonId(pin), entry->valueZeroCaption);
            Item(RightButtonId(pin))->setEnabled(true);
            Item(LeftButtonId(pin))->setEnabled(true);
            selection[static_cast<std::size_t>(pin - 1)] = pins[static_cast<std::size_t>(pin)];
        }
        if (page == 1) Item(kBackId)->setEnabled(false);
        if (page == status::kSlotCount) Item(kNextId)->setEnabled(false);
        pageText = std::to_string(status::kSwitchNumbers[static_cast<std::size_t>(*slot)]);
    }
    UpdateData(false);
}

void MemorySwitchPage::OnNext() {
    ++page;
    ShowPage(page, true);
    UpdateData(false);
}

void MemorySwitchPage::OnBack() {
    --page;
    ShowPage(page, true);
    UpdateData(false);
}

void MemorySwitchPage::OnPinOption(int pin, int value) {
    const auto slot = status::SlotOfPage(page);
    if (!slot || status == nullptr) return;
    selection[static_cast<std::size_t>(pin - 1)] = value;
    status->switches[static_cast<std::size_t>(*slot)].pins[static_cast<std::size_t>(pin)] = value;
}

void MemorySwitchPage::UpdateData(bool saveAndValidate) {
    ui::DataExchange exchange(controls_, saveAndValidate);
    DoDataExchange(exchange);
}

void MemorySwitchPage::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(kSwitchNumberId, pageText);
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        exchange.Radio(LeftButtonId(pin), selection[static_cast<std::size_t>(pin - 1)]);
    }
}

void MemorySwitchPage::SetText(int id, std::string_view text) {
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (auto* label = qobject_cast<QLabel*>(Item(id))) label->setText(shown);
    if (auto* button = qobject_cast<QAbstractButton*>(Item(id))) button->setText(shown);
}

}  // namespace talq::gui
