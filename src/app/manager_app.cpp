#include "app/manager_app.h"

#include <QEvent>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/session_end_restore.h"
#include "app/signal_restore.h"
#include "gui/main_dialog.h"
#include "gui/resources.h"
#include "ui/prompts.h"

namespace talq::app {

namespace {

// For start-up measurements: ends the dialog once it has been painted.
class EndAfterFirstPaint : public QObject {
  public:
    explicit EndAfterFirstPaint(ui::Dialog& dialog) : dialog_(dialog) {
        dialog.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !ending_) {
            ending_ = true;
            QTimer::singleShot(0, &dialog_, [this] { dialog_.EndDialog(ui::kIdCancel); });
        }
        return false;
    }

  private:
    ui::Dialog& dialog_;
    bool ending_ = false;
};

}  // namespace

ManagerApp::ManagerApp(int& argc, char** argv) : application_(argc, argv) {
    // Every message box is captioned with the program file's name.
    QApplication::setApplicationName(QString::fromStdString(ui::ApplicationName()));
    QApplication::setWindowIcon(gui::LoadIcon(gui::kIconApplication));
}

int ManagerApp::InitInstance() {
    {
        gui::MainDialog dialog;
        SignalRestore onSignal(dialog.queuePorts);
        SessionEndRestore onSessionEnd(dialog.queuePorts);
        std::unique_ptr<EndAfterFirstPaint> timing;
        if (std::getenv("TALQ_QUIT_WHEN_SHOWN") != nullptr) {
            timing = std::make_unique<EndAfterFirstPaint>(dialog);
        }
        dialog.DoModal();
        caughtSignal_ = onSignal.CaughtSignal();
    }
    return 0;
}

}  // namespace talq::app
