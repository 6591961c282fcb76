// Everything modal goes through one seam: message boxes, file dialogs and the
// modal run of a dialog. The program uses the window system's own; a test
// installs a recorder that answers them, so nothing ever blocks a test.
#pragma once

#include <optional>
#include <string>

#include "status/exchange_sink.h"

namespace talq::ui {

class Dialog;
class Window;

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
    // Asks before a new file is created. Qt's file dialog has no such question, so there a
    // new name is taken as chosen; the overwrite prompt still guards an existing file.
    bool createPrompt = false;
    bool mustExist = false;
};

class Prompter {
  public:
    virtual ~Prompter() = default;
    // A modal box with an OK button, owned by `owner`'s top-level window (or
    // the active window when nullptr), captioned with the application's name.
    virtual void ShowMessage(Window* owner, const std::string& text, MessageIcon icon) = 0;
    // The chosen file's full path (UTF-8), or nullopt when the user cancelled.
    virtual std::optional<std::string> AskFileName(Window* owner, const FileRequest& request) = 0;
    // Runs `dialog` modally and returns the code it ended with.
    virtual int RunModal(Dialog& dialog) = 0;
};

// The installed prompter: the window system's own unless a test installs another.
Prompter& CurrentPrompter();
// Installs `prompter` (not owned) and returns the one it replaces; nullptr
// puts the window system's one back.
Prompter* InstallPrompter(Prompter* prompter);
// The window system's own prompter (from the backend the build links).
Prompter& SystemPrompter();

// The caption of every message box: the program file's name without its
// extension (from the backend).
std::string ApplicationName();

// The last element of a path as the system writes paths (from the backend).
std::string FileNameOf(const std::string& path);

// Shorthands through the installed prompter.
void MessageBox(Window* owner, const std::string& text, MessageIcon icon = MessageIcon::None);
std::optional<std::string> AskFileName(Window* owner, const FileRequest& request);
int RunModal(Dialog& dialog);

}  // namespace talq::ui
