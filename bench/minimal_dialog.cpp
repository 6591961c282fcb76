// The yardstick of the start-up benchmark: the smallest Win32 dialog program,
// one push button in an in-memory template, run by DialogBoxIndirectParamW.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    alignas(4) WORD buffer[256] = {};
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    dialog->cdit = 1;
    dialog->cx = 120;
    dialog->cy = 50;
    WORD* at = reinterpret_cast<WORD*>(dialog + 1);
    *at++ = 0;  // no menu
    *at++ = 0;  // the dialog class
    const auto put = [&at](const wchar_t* text) {
        const std::size_t length = std::wcslen(text) + 1;
        std::memcpy(at, text, length * sizeof(wchar_t));
        at += length;
    };
    put(L"Minimal");
    *at++ = 8;
    put(L"MS Sans Serif");
    at = reinterpret_cast<WORD*>((reinterpret_cast<ULONG_PTR>(at) + 3) & ~ULONG_PTR{3});
    auto* button = reinterpret_cast<DLGITEMTEMPLATE*>(at);
    button->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    button->x = 35;
    button->y = 15;
    button->cx = 50;
    button->cy = 14;
    button->id = IDOK;
    at = reinterpret_cast<WORD*>(button + 1);
    *at++ = 0xFFFF;
    *at++ = 0x0080;  // BUTTON
    put(L"OK");
    *at++ = 0;  // no creation data
    return static_cast<int>(DialogBoxIndirectParamW(instance, dialog, nullptr, Procedure, 0));
}
