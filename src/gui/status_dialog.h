// The status dialog: reads the printer's memory switches into one status
// record, lets the two tab pages edit it, writes it back, keeps it in status
// files and resets it to factory values. It borrows the connection that the
// connection dialog opened and never opens or closes it.
#pragma once

#include <span>

#include "gui/status_tab_ctrl.h"
#include "link/printer_port.h"
#include "status/printer_status.h"
#include "ui/dialog.h"
#include "ui/progress_bar.h"

namespace talq::gui {

class StatusDialog : public ui::Dialog {
  public:
    static constexpr int kTabsId = 1010;
    static constexpr int kProgressId = 10;
    static constexpr int kGetStatusId = 1002;
    static constexpr int kSetStatusId = 1003;
    static constexpr int kSaveStatusId = 1004;
    static constexpr int kLoadStatusId = 1005;
    static constexpr int kInitializeStatusId = 1006;
    static constexpr int kExitId = 1007;

    explicit StatusDialog(ui::Window* owner = nullptr);

    // Set by Run Manager before the dialog runs.
    link::PrinterPort* port = nullptr;  // borrowed, open
    int model = -1;                     // PrinterModel
    link::PortKind portKind = link::Serial;

    status::PrinterStatus status{};
    ui::ProgressBar progress;
    StatusTabCtrl tabs;

    // Set Status, Save Status and both pages on or off; off also clears the pages.
    void EnableStatusControls(bool enable);

    void OnGetStatus();
    void OnSetStatus();
    void OnSaveStatus();
    void OnLoadStatus();
    void OnInitializeStatus();

  protected:
    // No button is the default: Enter presses the push button that has the focus, and
    // anywhere else it is the dialog's OK.
    bool OnInitDialog() override;

  private:
    // After a printer that cannot be identified only Exit stays usable.
    void LockAfterFailedIdentification();
    // After Load and Initialize: the setting page's fields, Set and Save on, both pages
    // showing the record.
    void ShowNewRecord();
    void RefreshPages();
    void EnableButtons(std::span<const int> ids, bool enable);
};

}  // namespace talq::gui
