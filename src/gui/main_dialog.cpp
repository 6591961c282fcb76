#include "gui/main_dialog.h"

#include <cstdlib>

#include "gui/about_dialog.h"
#include "gui/main_ids.h"
#include "gui/resources.h"
#include "gui/status_dialog.h"
#include "gui/templates/templates.h"
#include "link/connection_choices.h"
#include "link/usb_discovery.h"
#include "setup/check_communication.h"
#include "setup/self_test.h"
#include "ui/dialog_sink.h"
#include "ui/prompts.h"

namespace talq::gui {

namespace {

// A list entry's number, 0 when it holds none.
int NumberOf(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 10)); }

}  // namespace

MainDialog::MainDialog(ui::Window* owner) : ui::Dialog(MainTemplate(), owner, &IconDrawing) {
    OnClicked(kIdCheckCommunication, [this] { OnCheckCommunication(); });
    OnClicked(kIdSelfTest, [this] { OnSelfTest(); });
    OnClicked(kIdSerial, [this] { OnSerial(); });
    OnClicked(kIdParallel, [this] { OnParallel(); });
    OnClicked(kIdUsb, [this] { OnUsb(); });
    for (int id : {kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList}) {
        OnSelectionChange(id, [this] { OnSettingChange(); });
    }
    OnSelectionChange(kIdModelList, [this] { OnModelChange(); });
    OnClicked(kIdRunManager, [this] { OnRunManager(); });
    for (int id : {kIdFlowControlList, kIdPortList}) {
        OnSelectionChange(id, [this] { OnSettingChange(); });
    }
}

MainDialog::~MainDialog() {
    StopWatchingUsbPort();
    if (connected) {
        port.Close();
        connected = false;
    }
    setup::RestoreSpoolerQueues(queuePorts);
}

void MainDialog::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Radio(kIdSerial, portKind);
    exchange.ComboIndex(kIdModelList, model);
}

bool MainDialog::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    const std::string about = LoadString(kStringAboutBox);
    if (!about.empty()) dialogWindow().AddSystemMenuItem(kCommandAboutBox, about);
    window().SetIcon(kIconApplication);
    FillPortList(link::Serial);
    window().SetCurSel(kIdPortList, 0);
    window().SetCurSel(kIdBaudList, 3);
    for (int id : {kIdDataBitsList, kIdParityList, kIdStopBitsList, kIdFlowControlList}) {
        window().SetCurSel(id, 0);
    }
    queuePorts.clear();
    return true;
}

void MainDialog::AddEntries(int listId, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) window().AddString(listId, entry);
}

void MainDialog::FillPortList(int kind) {
    window().ResetList(kIdPortList);
    EnableLineSettings(false);
    if (kind == link::Parallel) {
        AddEntries(kIdPortList, link::LptPortNames());
        window().SetCurSel(kIdPortList, -1);
        return;
    }
    if (kind == link::Usb) {
        link::PortList found;
        link::FindUsbPrinters(found);
        AddEntries(kIdPortList, found.entries());
        window().SetCurSel(kIdPortList, -1);
        if (!found.empty()) return;
        ui::MessageBox(&window(), "Printer is not connected by USB.\nPlease, turn on the printer!!",
                       ui::MessageIcon::Information);
        portKind = link::Serial;
        UpdateData(false);
        window().ResetList(kIdPortList);
    }
    AddEntries(kIdPortList, link::ComPortNames());
    window().SetCurSel(kIdPortList, -1);
    FillBaudList();
    EnableLineSettings(true);
}

void MainDialog::FillBaudList() {
    window().ResetList(kIdBaudList);
    if (model < 0 || model > 2) return;
    for (std::string_view rate : link::BaudRatesOf(model)) window().AddString(kIdBaudList, rate);
    const auto rates = window().Entries(kIdBaudList);
    int selected = -1;
    for (std::size_t i = 0; i < rates.size(); ++i) {
        if (rates[i] == link::DefaultBaudRate(model)) selected = static_cast<int>(i);
    }
    window().SetCurSel(kIdBaudList, selected);
}

void MainDialog::EnableLineSettings(bool enable) {
    for (int id : {kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList, kIdFlowControlList}) {
        window().Enable(id, enable);
    }
}

void MainDialog::EnableTools(bool enable) {
    window().Enable(kIdSelfTest, enable);
    window().Enable(kIdRunManager, enable);
}

void MainDialog::DropConnection() {
    if (!connected) return;
    EnableTools(false);
    StopWatchingUsbPort();
    port.Close();
    window().Enable(kIdCheckCommunication, true);
    connected = false;
}

void MainDialog::OnSerial() {
    DropConnection();
    FillPortList(link::Serial);
    window().SetCurSel(kIdPortList, 0);
}

void MainDialog::OnParallel() {
    DropConnection();
    FillPortList(link::Parallel);
    window().SetCurSel(kIdPortList, 0);
}

void MainDialog::OnUsb() {
    DropConnection();
    FillPortList(link::Usb);
    window().SetCurSel(kIdPortList, 0);
}

void MainDialog::OnSettingChange() { DropConnection(); }

void MainDialog::OnModelChange() {
    UpdateData(true);
    DropConnection();
    window().ResetList(kIdBaudList);
    if (model == 0 || model == 1) {
        FillBaudList();
        window().Enable(kIdParallel, true);
        window().Enable(kIdUsb, true);
    } else if (model == 2) {
        // "KTV-520plusF" has a serial interface only.
        if (portKind != link::Serial) {
            portKind = link::Serial;
            UpdateData(false);
            FillPortList(link::Serial);
            window().SetCurSel(kIdPortList, 0);
        } else {
            FillBaudList();
        }
        window().SetCurSel(kIdBaudList, 3);
        window().Enable(kIdParallel, false);
        window().Enable(kIdUsb, false);
    }
}

void MainDialog::ReadPortSettings() {
    UpdateData(true);
    const ui::Window& controls = window();
    portName = controls.Text(kIdPortList);
    // A list with no selection (typed parity text) keeps the value before.
    if (controls.CurSel(kIdBaudList) >= 0) baudRate = NumberOf(controls.Text(kIdBaudList));
    if (controls.CurSel(kIdDataBitsList) >= 0) dataBits = NumberOf(controls.Text(kIdDataBitsList));
    const int parityIndex = ui::ListSelection(controls, kIdParityList);
    if (parityIndex >= 0 && parityIndex <= 2) parity = parityIndex;
    if (controls.CurSel(kIdFlowControlList) >= 0) flowControl = controls.CurSel(kIdFlowControlList);
    if (controls.CurSel(kIdStopBitsList) >= 0) stopBits = controls.CurSel(kIdStopBitsList);
}

void MainDialog::OnCheckCommunication() {
    if (connected) return;
    ReadPortSettings();
    link::PortSettings settings;
    settings.portName = portName;
    settings.baudRate = baudRate;
    settings.dataBits = dataBits;
    settings.stopBits = stopBits;
    settings.parity = parity;
    settings.flowControl = flowControl;
    settings.timeouts = {10, 10, 10, 0, 0};
    setup::RedirectSpoolerQueues(portName, queuePorts);  // COM and LPT ports only

    StopWatchingUsbPort();  // Configure replaces the port object
    ui::DialogSink sink(window());
    const auto result = setup::CheckCommunication(
        port, settings, static_cast<link::PortKind>(portKind), model, sink);
    connected = result == setup::CheckResult::Connected;
    if (!connected) return;
    EnableTools(true);
    window().Enable(kIdCheckCommunication, false);
    WatchUsbPort();
}

void MainDialog::OnSelfTest() {
    window().Enable(kIdRunManager, false);
    // The thread sleeps through the page; show the state now.
    window().Repaint(kIdRunManager);
    setup::SelfTest(port);
    window().Enable(kIdRunManager, true);
}

void MainDialog::OnRunManager() {
    // Owned by this dialog, which its modal run blocks; released however it ends, since
    // nothing uses a finished status dialog again. The connection stays open.
    auto dialog = std::make_unique<StatusDialog>(&window());
    statusDialog = dialog.get();
    dialog->port = &port;
    dialog->portKind = static_cast<link::PortKind>(portKind);
    dialog->model = model;
    dialog->DoModal();
    statusDialog = nullptr;
}

void MainDialog::OnSysCommand(unsigned command, long) {
    if ((command & 0xFFF0u) != kCommandAboutBox) return;
    AboutDialog about(&window());
    about.DoModal();
}

void MainDialog::WatchUsbPort() {
    link::UsbPort* usb = port.usb();
    // Without a descriptor the notices come as messages to the window's own
    // procedure, which this thread's loop dispatches with every other
    // window's: nothing to watch.
    if (usb == nullptr || usb->notifyWindow.fd() < 0) return;
    usbWatch_ = ui::WatchDescriptor(usb->notifyWindow.fd(), [usb] { usb->notifyWindow.OnReadable(); });
}

void MainDialog::StopWatchingUsbPort() { usbWatch_.reset(); }

}  // namespace talq::gui
