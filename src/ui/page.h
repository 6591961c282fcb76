// A page: a child dialog built from its own template inside another dialog's
// window (the tab pages of the status dialog). Its commands stay in the page.
#pragma once

#include <functional>
#include <memory>

#include "ui/command_handlers.h"
#include "ui/data_exchange.h"
#include "ui/dialog_template.h"
#include "ui/window.h"

namespace talq::ui {

class Page : protected WindowEvents {
  public:
    Page() = default;
    ~Page() override;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Builds the page's controls from `page` as a hidden child of `parent`.
    void CreatePage(const DialogTemplate& page, Window& parent);
    bool created() const { return window_ != nullptr; }

    Window& window() { return *window_; }
    const Window& window() const { return *window_; }

    // Fields -> controls, or controls -> fields when `saveAndValidate`.
    void UpdateData(bool saveAndValidate);
    void OnCommand(int id, Notification notification) override;

  protected:
    virtual void DoDataExchange(DataExchange& exchange) { (void)exchange; }
    void OnClicked(int id, std::function<void()> handler);
    void OnSelectionChange(int id, std::function<void()> handler);

  private:
    std::unique_ptr<CommandHandlers> handlers_;
    std::unique_ptr<Window> window_;
    const DialogTemplate* templateOf_ = nullptr;
};

}  // namespace talq::ui
