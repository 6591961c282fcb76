// A dialog built from a template: the modal run through the prompt seam, the
// data exchange by id, handlers by id, and the result codes of the dialog
// manager (OK 1, Cancel 2). Exit buttons, the close box and Escape end with
// Cancel. Toolkit-free: the window comes from the backend the build links.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "ui/command_handlers.h"
#include "ui/data_exchange.h"
#include "ui/dialog_template.h"
#include "ui/window.h"

namespace talq::ui {

class Dialog : protected WindowEvents {
  public:
    explicit Dialog(const DialogTemplate& dialog, Window* owner = nullptr,
                    const IconSource& icons = {});
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally through the installed prompter; returns the
    // code it ended with.
    int DoModal();
    // Runs OnInitDialog once. Showing the dialog does it too.
    void InitDialog();
    // Shows the dialog without a modal run (tests; modeless use).
    void Show();
    // Controls -> fields when `saveAndValidate`, else fields -> controls.
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(int result) { window_->EndModal(result); }

    Window& window() { return *window_; }
    const Window& window() const { return *window_; }
    DialogWindow& dialogWindow() { return *window_; }
    const DialogTemplate& dialogTemplate() const { return template_; }

    // Delivers a user's action as the window system would (the backends and
    // the tests' drivers call it).
    void OnCommand(int id, Notification notification) override;
    void OnSysCommand(unsigned command) override;
    void OnEndSession() override;

    // Runs at the end of the session, before the system may end the process.
    void OnSessionEnd(std::function<void()> handler) { sessionEnd_ = std::move(handler); }

  protected:
    virtual void DoDataExchange(DataExchange& exchange);
    // The default pushes the fields into the controls; returns true.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnSystemCommand(unsigned command) { (void)command; }

    // Handlers run for what the user does, never for a change made by code.
    // A radio button's runs only when the press left it checked.
    void OnClicked(int id, std::function<void()> handler);
    void OnSelectionChange(int id, std::function<void()> handler);
    void OnNotification(int id, Notification notification, std::function<void()> handler);
    void OnFirstShow() override { InitDialog(); }

  private:
    const DialogTemplate& template_;
    CommandHandlers handlers_;
    std::unique_ptr<DialogWindow> window_;
    std::function<void()> sessionEnd_;
    bool initialized_ = false;
};

}  // namespace talq::ui
