#include "gui/memory_switch_page.h"

#include "gui/templates/status_templates.h"
#include "status/switch_catalogue.h"
#include "ui/data_exchange.h"

namespace talq::gui {

using status::SwitchCatalogue;

MemorySwitchPage::MemorySwitchPage() { selection.fill(-1); }

void MemorySwitchPage::Create(ui::Window& parent) {
    CreatePage(MemorySwitchTemplate(), parent);
    OnClicked(kNextId, [this] { OnNext(); });
    OnClicked(kBackId, [this] { OnBack(); });
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        OnClicked(LeftButtonId(pin), [this, pin] { OnPinOption(pin, 0); });
        OnClicked(RightButtonId(pin), [this, pin] { OnPinOption(pin, 1); });
    }
    UpdateData(false);
}

void MemorySwitchPage::ShowPage(int shownPage, bool enable) {
    page = shownPage;
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        for (const int id : {LeftButtonId(pin), RightButtonId(pin)}) {
            window().Enable(id, false);
            window().SetText(id, status::kReservedButtonCaption);
        }
    }
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        window().SetText(CaptionId(pin), status::ReservedPinCaption(pin));
    }
    window().Enable(kNextId, enable);
    window().Enable(kBackId, enable);
    selection.fill(-1);

    const auto slot = status::SlotOfPage(page);
    const bool knownModel = model >= 0 && model <= 2;
    if (enable && knownModel && slot && status != nullptr) {
        const auto& pins = status->switches[static_cast<std::size_t>(*slot)].pins;
        for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
            const auto entry = SwitchCatalogue::Lookup(model, page, pin);
            if (!entry) continue;
            window().SetText(CaptionId(pin), entry->caption);
            window().SetText(RightButtonId(pin), entry->valueOneCaption);
            window().SetText(LeftButtonId(pin), entry->valueZeroCaption);
            window().Enable(RightButtonId(pin), true);
            window().Enable(LeftButtonId(pin), true);
            selection[static_cast<std::size_t>(pin - 1)] = pins[static_cast<std::size_t>(pin)];
        }
        if (page == 1) window().Enable(kBackId, false);
        if (page == status::kSlotCount) window().Enable(kNextId, false);
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

void MemorySwitchPage::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(kSwitchNumberId, pageText);
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        exchange.Radio(LeftButtonId(pin), selection[static_cast<std::size_t>(pin - 1)]);
    }
}

}  // namespace talq::gui
