// The Qt application object, and the hooks only it can give.
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>

#include "ui/application.h"
#include "ui/dialog.h"
#include "ui/event_watch.h"
#include "ui/prompts.h"
#include "ui/qt/qt_window.h"

namespace talq::ui {

namespace {

// Ends the dialog's modal run once it has been painted.
class EndAfterFirstPaint : public QObject {
  public:
    explicit EndAfterFirstPaint(Dialog& dialog) : dialog_(dialog) {
        if (QWidget* widget = qt::TopWidget(dialog.window())) widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !ending_) {
            ending_ = true;
            QTimer::singleShot(0, watched, [this] { dialog_.EndDialog(kIdCancel); });
        }
        return false;
    }

  private:
    Dialog& dialog_;
    bool ending_ = false;
};

class SocketWatch : public EventWatch {
  public:
    SocketWatch(int fd, std::function<void()> onReadable) : notifier_(fd, QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_,
                         [onReadable = std::move(onReadable)] {
                             // Nothing may unwind into Qt's frames.
                             try {
                                 onReadable();
                             } catch (...) {
                                 qt::StopRunningDialog(std::current_exception());
                             }
                         });
    }

  private:
    QSocketNotifier notifier_;
};

}  // namespace

struct Application::Impl {
    Impl(int& argc, char** argv) : application(argc, argv) {}
    QApplication application;
    std::unique_ptr<EndAfterFirstPaint> endWhenShown;
};

Application::Application(int& argc, char** argv, const IconSource& icons, int iconId) {
    // Wayland shells match the window to its desktop entry (name, icon) by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.talquist.Manager"));
    impl_ = std::make_unique<Impl>(argc, argv);
    // Every message box is captioned with the program file's name.
    QApplication::setApplicationName(QString::fromStdString(ApplicationName()));
    if (const IconDrawing* drawing = icons ? icons(iconId) : nullptr) {
        QIcon icon;
        icon.addPixmap(qt::RenderIcon(*drawing, 32));
        icon.addPixmap(qt::RenderIcon(*drawing, 16));
        QApplication::setWindowIcon(icon);
    }
}

Application::~Application() = default;

void Application::EndWhenShown(Dialog& dialog) {
    impl_->endWhenShown = std::make_unique<EndAfterFirstPaint>(dialog);
}

std::unique_ptr<EventWatch> WatchDescriptor(int fd, std::function<void()> onReadable) {
    if (fd < 0) return nullptr;
    return std::make_unique<SocketWatch>(fd, std::move(onReadable));
}

}  // namespace talq::ui

namespace talq::ui {

// Qt ends every running event loop of the thread, and a loop started later returns at once.
void QuitApplication() {
    QCoreApplication::exit(0);
}

}  // namespace talq::ui
