// Everything modal goes through one seam: message boxes, file dialogs and the
// modal run of a dialog. The program uses real Qt windows; a test installs a
// recorder that answers them, so nothing ever blocks a test.
#pragma once

#include <optional>
#include <string>

#include "status/exchange_sink.h"

class QDialog;
class QWidget;

namespace talq::ui {

using status::MessageIcon;

struct FileRequest {
    bool save = false;  // a save dialog, else an open dialog
    std::string title;
    std::string initialName;
    // Pairs of description and pattern, each followed by '|':
    // "Status Files (*.sts)|*.sts|".
    std::string filter;
    std::string defaultExtension;
    bool overwritePrompt = false;
    // Qt's file dialog has no question before a new file is created, so a new name is taken
    // as chosen; the overwrite prompt still guards an existing file.
    bool createPrompt = false;
    bool mustExist = false;
};

class Prompter {
  public:
    virtual ~Prompter() = default;
    // A modal box with an OK button, captioned with the application's name.
    virtual void ShowMessage(QWidget* owner, const std::string& text, MessageIcon icon) = 0;
    // The chosen file's full path, or nullopt when the user cancelled.
    virtual std::optional<std::string> AskFileName(QWidget* owner, const FileRequest& request) = 0;
    // Runs `dialog` modally and returns the code it ended with.
    virtual int RunModal(QDialog& dialog) = 0;
};

// The installed prompter: real Qt windows unless a test installs another.
Prompter& CurrentPrompter();
// Installs `prompter` (not owned) and returns the one it replaces; nullptr
// puts the Qt one back.
Prompter* InstallPrompter(Prompter* prompter);

// The caption of every message box: the program file's name without its
// extension.
std::string ApplicationName();

// The window that owns a box shown for `owner`: `owner` itself, else the
// active modal dialog, else the active window.
QWidget* OwnerWindow(QWidget* owner);

// Shorthands through the installed prompter.
void MessageBox(QWidget* owner, const std::string& text, MessageIcon icon = MessageIcon::None);
std::optional<std::string> AskFileName(QWidget* owner, const FileRequest& request);
int RunModal(QDialog& dialog);

}  // namespace talq::ui
