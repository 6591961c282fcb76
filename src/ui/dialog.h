// A dialog built from a template: the modal run through the prompt seam, the
// data exchange by id, and the result codes of the dialog manager (OK 1,
// Cancel 2). Exit buttons, the close box and Escape end with Cancel.
#pragma once

#include <QDialog>
#include <functional>

#include "ui/data_exchange.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_template.h"

namespace talq::ui {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

class Dialog : public QDialog {
  public:
    explicit Dialog(const DialogTemplate& dialog, QWidget* parent = nullptr,
                    const IconSource& icons = {});

    // Runs the dialog modally through the installed prompter; returns the
    // code it ended with.
    int DoModal();
    // Runs OnInitDialog once. Showing the dialog does it too.
    void InitDialog();
    // Controls -> fields when `saveAndValidate`, else fields -> controls.
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(int result) { done(result); }

    QWidget* Item(int id) const { return controls_.Item(id); }
    template <typename Widget>
    Widget* ItemAs(int id) const {
        return controls_.ItemAs<Widget>(id);
    }
    const DialogControls& controls() const { return controls_; }

  protected:
    virtual void DoDataExchange(DataExchange& exchange);
    // The default pushes the fields into the controls; returns true.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Handlers run for what the user does, never for a change made by code:
    // buttons by `clicked`, lists by `activated`.
    void OnClicked(int id, std::function<void()> handler);
    void OnSelectionChange(int id, std::function<void()> handler);

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    DialogControls controls_;
    bool initialized_ = false;
};

}  // namespace talq::ui
