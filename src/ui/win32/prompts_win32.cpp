// Message boxes and file questions are the system's own, owned by the dialog
// that asks; every name and text crosses as UTF-16.
// First: windows.h, without the macros that would rename our MessageBox.
#include "win32_window.h"
// After windows.h, which they need.
#include <commdlg.h>
#include <initguid.h>
#include <knownfolders.h>
#include <shtypes.h>

#include <vector>

#include "system_function.h"
#include "ui/dialog.h"
#include "ui/prompts.h"
#include "wide_text.h"

namespace talq::ui {

namespace {

HWND TopLevelOf(Window* owner) {
    HWND window = win32::HandleOf(owner);
    return window != nullptr ? GetAncestor(window, GA_ROOT) : GetActiveWindow();
}

// "Status Files (*.sts)|*.sts|" as the file dialogs take it: '\0' for each
// '|', and one more '\0' at the end.
std::wstring FilterOf(const std::string& filter) {
    std::wstring wide = win32::Widen(filter);
    for (wchar_t& c : wide) {
        if (c == L'|') c = L'\0';
    }
    wide.push_back(L'\0');
    return wide;
}

// The user's Documents, or "" where the system names none.
std::wstring DocumentsFolder() {
    using KnownFolder = HRESULT WINAPI(const KNOWNFOLDERID&, DWORD, HANDLE, PWSTR*);
    static KnownFolder* const known =
        win32::SystemFunction<KnownFolder>(L"shell32.dll", "SHGetKnownFolderPath");
    PWSTR path = nullptr;
    std::wstring folder;
    if (known != nullptr && SUCCEEDED(known(FOLDERID_Documents, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

class Win32Prompter : public Prompter {
  public:
    void ShowMessage(Window* owner, const std::string& text, MessageIcon icon) override {
        UINT style = MB_OK;
        if (icon == MessageIcon::Exclamation) style |= MB_ICONEXCLAMATION;
        if (icon == MessageIcon::Information) style |= MB_ICONINFORMATION;
        MessageBoxW(TopLevelOf(owner), win32::Widen(text).c_str(),
                    win32::Widen(ApplicationName()).c_str(), style);
    }

    std::optional<std::string> AskFileName(Window* owner, const FileRequest& request) override {
        win32::StartCom();
        std::vector<wchar_t> name(32768, L'\0');
        const std::wstring initial = win32::Widen(request.initialName);
        if (initial.size() < name.size()) std::copy(initial.begin(), initial.end(), name.begin());
        const std::wstring filter = FilterOf(request.filter);
        const std::wstring title = win32::Widen(request.title);
        const std::wstring extension = win32::Widen(request.defaultExtension);

        OPENFILENAMEW question{};
        question.lStructSize = sizeof(question);
        question.hwndOwner = TopLevelOf(owner);
        question.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
        question.nFilterIndex = 1;
        question.lpstrFile = name.data();
        question.nMaxFile = static_cast<DWORD>(name.size());
        question.lpstrTitle = title.empty() ? nullptr : title.c_str();
        question.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        // Not the program's folder, which a user may not write to: Documents the first time,
        // then the folder of the file chosen last.
        const std::wstring folder = lastFolder_.empty() ? DocumentsFolder() : lastFolder_;
        question.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        // The working folder never moves under the program.
        question.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
        if (request.overwritePrompt) question.Flags |= OFN_OVERWRITEPROMPT;
        if (request.createPrompt) question.Flags |= OFN_CREATEPROMPT;
        if (request.mustExist) question.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;

        using Question = BOOL WINAPI(OPENFILENAMEW*);
        static Question* const save =
            win32::SystemFunction<Question>(L"comdlg32.dll", "GetSaveFileNameW");
        static Question* const open =
            win32::SystemFunction<Question>(L"comdlg32.dll", "GetOpenFileNameW");
        Question* const ask = request.save ? save : open;
        const BOOL chosen = ask != nullptr && ask(&question);
        if (!chosen) return std::nullopt;
        lastFolder_.assign(name.data(), question.nFileOffset);
        return win32::Narrow(name.data());
    }

    int RunModal(Dialog& dialog) override { return dialog.dialogWindow().RunModal(); }

  private:
    std::wstring lastFolder_;
};

}  // namespace

Prompter& SystemPrompter() {
    static Win32Prompter prompter;
    return prompter;
}

std::string ApplicationName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string name = FileNameOf(win32::Narrow(path));
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace talq::ui
