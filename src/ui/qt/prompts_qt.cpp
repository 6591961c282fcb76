// The window system's own message boxes and file dialogs, owned by the
// dialog in front.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

#include "ui/dialog.h"
#include "ui/prompts.h"
#include "ui/qt/qt_window.h"

namespace talq::ui {

namespace {

// "Description|pattern|..." to Qt's "Description (pattern)" lines.
QStringList NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.isEmpty()) continue;
        const QString patterns = QString(pattern).replace(u';', u' ');
        filters << (description.contains(pattern) ? description
                                                  : description + " (" + patterns + ")");
    }
    return filters;
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The top-level window of `owner`, else the modal window in front, else the active one.
QWidget* OwnerWindow(Window* owner) {
    if (QWidget* widget = owner != nullptr ? qt::TopWidget(*owner) : nullptr) {
        return widget->window();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

class QtPrompter : public Prompter {
  public:
    void ShowMessage(Window* owner, const std::string& text, MessageIcon icon) override {
        QMessageBox box(BoxIcon(icon), QString::fromStdString(ApplicationName()),
                        QString::fromStdString(text), QMessageBox::Ok, OwnerWindow(owner));
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

    std::optional<std::string> AskFileName(Window* owner, const FileRequest& request) override {
        QFileDialog dialog(OwnerWindow(owner), QString::fromStdString(request.title));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save || !request.mustExist ? QFileDialog::AnyFile
                                                              : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        dialog.setNameFilters(NameFilters(request.filter));
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
        // Not the working folder: Documents the first time, then the folder of the file
        // chosen last.
        QString folder = lastFolder_;
        if (folder.isEmpty()) {
            folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
        }
        dialog.setDirectory(folder);
        dialog.selectFile(QString::fromStdString(request.initialName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        const QString chosen = dialog.selectedFiles().front();
        lastFolder_ = QFileInfo(chosen).absolutePath();
        return chosen.toStdString();
    }

    int RunModal(Dialog& dialog) override { return dialog.dialogWindow().RunModal(); }

  private:
    QString lastFolder_;
};

}  // namespace

Prompter& SystemPrompter() {
    static QtPrompter prompter;
    return prompter;
}

std::string ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

std::string FileNameOf(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

}  // namespace talq::ui
