#include "ui/prompts.h"

#include "platform/process_wide.h"
#include "ui/dialog.h"

namespace talq::ui {

namespace {

// The window system's prompter unless a test installs another.
class SystemPrompterRef : public Prompter {
  public:
    void ShowMessage(Window* owner, const std::string& text, MessageIcon icon) override {
        SystemPrompter().ShowMessage(owner, text, icon);
    }
    std::optional<std::string> AskFileName(Window* owner, const FileRequest& request) override {
        return SystemPrompter().AskFileName(owner, request);
    }
    int RunModal(Dialog& dialog) override { return SystemPrompter().RunModal(dialog); }
};

platform::ProcessWide<Prompter, SystemPrompterRef>& Installed() {
    static platform::ProcessWide<Prompter, SystemPrompterRef> installed;
    return installed;
}

}  // namespace

Prompter& CurrentPrompter() { return Installed().Current(); }
Prompter* InstallPrompter(Prompter* prompter) { return Installed().Install(prompter); }

void MessageBox(Window* owner, const std::string& text, MessageIcon icon) {
    CurrentPrompter().ShowMessage(owner, text, icon);
}

std::optional<std::string> AskFileName(Window* owner, const FileRequest& request) {
    return CurrentPrompter().AskFileName(owner, request);
}

int RunModal(Dialog& dialog) { return CurrentPrompter().RunModal(dialog); }

}  // namespace talq::ui
