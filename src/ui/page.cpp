#include "ui/page.h"

namespace talq::ui {

Page::~Page() = default;

void Page::CreatePage(const DialogTemplate& page, Window& parent) {
    handlers_ = std::make_unique<CommandHandlers>(page);
    window_ = CreatePageWindow(page, parent, *this);
    templateOf_ = &page;
}

void Page::UpdateData(bool saveAndValidate) {
    if (window_ == nullptr) return;
    DataExchange exchange(*window_, *templateOf_, saveAndValidate);
    DoDataExchange(exchange);
}

void Page::OnCommand(int id, Notification notification) {
    if (handlers_ != nullptr && window_ != nullptr) handlers_->Dispatch(*window_, id, notification);
}

void Page::OnClicked(int id, std::function<void()> handler) {
    handlers_->On(id, Notification::Clicked, std::move(handler));
}

void Page::OnSelectionChange(int id, std::function<void()> handler) {
    handlers_->On(id, Notification::SelectionChange, std::move(handler));
}

}  // namespace talq::ui
