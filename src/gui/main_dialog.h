// The connection dialog: the window shown for the program's whole life. The
// user picks model, interface, port and line settings; Check Communication
// opens and identifies the one printer connection, which Self Test and Run
// Manager then use. Any change of those choices drops the connection.
#pragma once

#include <memory>
#include <string>

#include "link/printer_port.h"
#include "setup/spooler_redirection.h"
#include "ui/dialog.h"
#include "ui/event_watch.h"

namespace talq::gui {

class StatusDialog;

// Index of the model list: 0 "KTV-520plus", 1 "KTV-540/542", 2 "KTV-520plusF".
using PrinterModel = int;

class MainDialog : public ui::Dialog {
  public:
    explicit MainDialog(ui::Window* owner = nullptr);
    ~MainDialog() override;

    void FillPortList(int kind);
    void EnableTools(bool enable);
    void DropConnection();
    void ReadPortSettings();

    void OnCheckCommunication();
    void OnSelfTest();
    void OnRunManager();
    void OnSerial();
    void OnParallel();
    void OnUsb();
    void OnSettingChange();
    void OnModelChange();
    void OnSysCommand(unsigned command, long parameter);

    link::PrinterPort port;
    setup::QueuePorts queuePorts;
    // The line settings start at the dialog's start state, so that a list
    // that reads as no selection never hands an unset value to Configure.
    int flowControl = 0;
    bool connected = false;
    std::string portName;
    int baudRate = 19200;
    int dataBits = 8;
    int parity = 0;
    int stopBits = 0;
    // The status dialog while Run Manager runs it.
    StatusDialog* statusDialog = nullptr;
    int portKind = link::Serial;
    PrinterModel model = 0;

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnInitDialog() override;
    void OnSystemCommand(unsigned command) override { OnSysCommand(command, 0); }

  private:
    void FillBaudList();
    void EnableLineSettings(bool enable);
    void AddEntries(int listId, const std::vector<std::string>& entries);
    // Watches a USB connection for removal and return; the watch must end
    // before the port is closed, reconfigured or destroyed.
    void WatchUsbPort();
    void StopWatchingUsbPort();

    std::unique_ptr<ui::EventWatch> usbWatch_;
};

}  // namespace talq::gui
