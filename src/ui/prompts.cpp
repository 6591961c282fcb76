#include "ui/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "platform/process_wide.h"

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
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

class QtPrompter : public Prompter {
  public:
    void ShowMessage(QWidget* owner, const std::string& text, MessageIcon icon) override {
        QMessageBox box(BoxIcon(icon), QString::fromStdString(ApplicationName()),
                        QString::fromStdString(text), QMessageBox::Ok, OwnerWindow(owner));
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

    std::optional<std::string> AskFileName(QWidget* owner, const FileRequest& request) override {
        QFileDialog dialog(OwnerWindow(owner), QString::fromStdString(request.title));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save || !request.mustExist ? QFileDialog::AnyFile
                                                              : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        dialog.setNameFilters(NameFilters(request.filter));
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
        dialog.selectFile(QString::fromStdString(request.initialName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles().front().toStdString();
    }

    int RunModal(QDialog& dialog) override { return dialog.exec(); }
};

platform::ProcessWide<Prompter, QtPrompter>& Installed() {
    static platform::ProcessWide<Prompter, QtPrompter> installed;
    return installed;
}

}  // namespace

Prompter& CurrentPrompter() { return Installed().Current(); }
Prompter* InstallPrompter(Prompter* prompter) { return Installed().Install(prompter); }

std::string ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

QWidget* OwnerWindow(QWidget* owner) {
    if (owner != nullptr) return owner->window();
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

void MessageBox(QWidget* owner, const std::string& text, MessageIcon icon) {
    CurrentPrompter().ShowMessage(owner, text, icon);
}

std::optional<std::string> AskFileName(QWidget* owner, const FileRequest& request) {
    return CurrentPrompter().AskFileName(owner, request);
}

int RunModal(QDialog& dialog) { return CurrentPrompter().RunModal(dialog); }

}  // namespace talq::ui
