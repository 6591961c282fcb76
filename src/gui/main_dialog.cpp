#include "gui/main_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QSocketNotifier>

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

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList Texts(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) list << QString::fromStdString(text);
    return list;
}

}  // namespace

MainDialog::MainDialog(QWidget* parent)
    : ui::Dialog(MainTemplate(), parent),
      portList(ItemAs<QComboBox>(kIdPortList)),
      flowControlList(ItemAs<QComboBox>(kIdFlowControlList)),
      stopBitsList(ItemAs<QComboBox>(kIdStopBitsList)),
      parityList(ItemAs<QComboBox>(kIdParityList)),
      dataBitsList(ItemAs<QComboBox>(kIdDataBitsList)),
      baudList(ItemAs<QComboBox>(kIdBaudList)),
      icon(LoadIcon(kIconApplication)) {
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
    // Linux has no system menu of ours to extend: the About item sits in the
    // dialog's context menu (right click on the dialog) and on F1.
    const std::string about = LoadString(kStringAboutBox);
    if (!about.empty()) {
        auto* item = new QAction(QString::fromStdString(about), this);
        item->setShortcut(Qt::Key_F1);
        connect(item, &QAction::triggered, this, [this] { OnSysCommand(kCommandAboutBox, 0); });
        addAction(item);
        setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    setWindowIcon(icon);
    FillPortList(link::Serial);
    portList->setCurrentIndex(0);
    baudList->setCurrentIndex(3);
    for (QComboBox* list : {dataBitsList, parityList, stopBitsList, flowControlList}) {
        list->setCurrentIndex(0);
    }
    queuePorts.clear();
    return true;
}

void MainDialog::FillPortList(int kind) {
    portList->clear();
    EnableLineSettings(false);
    if (kind == link::Parallel) {
        portList->addItems(Texts(link::LptPortNames()));
        portList->setCurrentIndex(-1);
        return;
    }
    if (kind == link::Usb) {
        link::PortList found;
        link::FindUsbPrinters(found);
        for (const auto& entry : found.entries()) portList->addItem(QString::fromStdString(entry));
        portList->setCurrentIndex(-1);
        if (!found.empty()) return;
        ui::MessageBox(this, "Printer is not connected by USB.\nPlease, turn on the printer!!",
                       ui::MessageIcon::Information);
        portKind = link::Serial;
        UpdateData(false);
        portList->clear();
    }
    portList->addItems(Texts(link::ComPortNames()));
    portList->setCurrentIndex(-1);
    FillBaudList();
    EnableLineSettings(true);
}

void MainDialog::FillBaudList() {
    baudList->clear();
    if (model < 0 || model > 2) return;
    for (std::string_view rate : link::BaudRatesOf(model)) baudList->addItem(Text(rate));
    baudList->setCurrentIndex(baudList->findText(Text(link::DefaultBaudRate(model))));
}

void MainDialog::EnableLineSettings(bool enable) {
    for (QComboBox* list : {baudList, dataBitsList, parityList, stopBitsList, flowControlList}) {
        list->setEnabled(enable);
    }
}

void MainDialog::EnableTools(bool enable) {
    Item(kIdSelfTest)->setEnabled(enable);
    Item(kIdRunManager)->setEnabled(enable);
}

void MainDialog::DropConnection() {
    if (!connected) return;
    EnableTools(false);
    StopWatchingUsbPort();
    port.Close();
    Item(kIdCheckCommunication)->setEnabled(true);
    connected = false;
}

void MainDialog::OnSerial() {
    DropConnection();
    FillPortList(link::Serial);
    portList->setCurrentIndex(0);
}

void MainDialog::OnParallel() {
    DropConnection();
    FillPortList(link::Parallel);
    portList->setCurrentIndex(0);
}

void MainDialog::OnUsb() {
    DropConnection();
    FillPortList(link::Usb);
    portList->setCurrentIndex(0);
}

void MainDialog::OnSettingChange() { DropConnection(); }

void MainDialog::OnModelChange() {
    UpdateData(true);
    DropConnection();
    baudList->clear();
    if (model == 0 || model == 1) {
        FillBaudList();
        Item(kIdParallel)->setEnabled(true);
        Item(kIdUsb)->setEnabled(true);
    } else if (model == 2) {
        // "KTV-520plusF" has a serial interface only.
        if (portKind != link::Serial) {
            portKind = link::Serial;
            UpdateData(false);
            FillPortList(link::Serial);
            portList->setCurrentIndex(0);
        } else {
            FillBaudList();
        }
        baudList->setCurrentIndex(3);
        Item(kIdParallel)->setEnabled(false);
        Item(kIdUsb)->setEnabled(false);
    }
}

void MainDialog::ReadPortSettings() {
    UpdateData(true);
    portName = portList->currentText().toStdString();
    // A list with no selection (typed parity text) keeps the value before.
    if (baudList->currentIndex() >= 0) baudRate = baudList->currentText().toInt();
    if (dataBitsList->currentIndex() >= 0) dataBits = dataBitsList->currentText().toInt();
    const int parityIndex = ui::SelectedIndex(*parityList);
    if (parityIndex >= 0 && parityIndex <= 2) parity = parityIndex;
    if (flowControlList->currentIndex() >= 0) flowControl = flowControlList->currentIndex();
    if (stopBitsList->currentIndex() >= 0) stopBits = stopBitsList->currentIndex();
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
    ui::DialogSink sink(*this);
    const auto result = setup::CheckCommunication(
        port, settings, static_cast<link::PortKind>(portKind), model, sink);
    connected = result == setup::CheckResult::Connected;
    if (!connected) return;
    EnableTools(true);
    Item(kIdCheckCommunication)->setEnabled(false);
    WatchUsbPort();
}

void MainDialog::OnSelfTest() {
    QWidget* runManager = Item(kIdRunManager);
    runManager->setEnabled(false);
    // The thread sleeps through the page; show the state now.
    runManager->repaint();
    setup::SelfTest(port);
    runManager->setEnabled(true);
}

void MainDialog::OnRunManager() {
    // Owned by this dialog, which its modal run blocks; released however it ends, since
    // nothing uses a finished status dialog again. The connection stays open.
    auto dialog = std::make_unique<StatusDialog>(this);
    statusDialog = dialog.get();
    dialog->port = &port;
    dialog->portKind = static_cast<link::PortKind>(portKind);
    dialog->model = model;
    dialog->DoModal();
    statusDialog = nullptr;
}

void MainDialog::OnSysCommand(unsigned command, long) {
    if ((command & 0xFFF0u) != kCommandAboutBox) return;
    AboutDialog about(this);
    about.DoModal();
}

void MainDialog::WatchUsbPort() {
    link::UsbPort* usb = port.usb();
    // Without a descriptor the notices come as messages to the window's own
    // procedure, which this thread's event loop dispatches with every other
    // window's: nothing to watch.
    if (usb == nullptr || usb->notifyWindow.fd() < 0) return;
    usbNotifier_ = std::make_unique<QSocketNotifier>(usb->notifyWindow.fd(), QSocketNotifier::Read);
    connect(usbNotifier_.get(), &QSocketNotifier::activated, this,
            [usb] { usb->notifyWindow.OnReadable(); });
}

void MainDialog::StopWatchingUsbPort() { usbNotifier_.reset(); }

}  // namespace talq::gui
