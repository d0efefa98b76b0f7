// The dialog and window calls of the user-interface service (user32) on the
// real API. Each is the Win32 call it is named after; the program's dialog
// procedures are called through a procedure of the system's calling
// convention that finds them by their window.
#pragma once

#include "platform/platform.h"

namespace os::win {

class WinDialogUi : public Ui {
  public:
    intptr_t DialogBoxParamA(Module instance, const char* templateName, Window owner,
                             DialogProc proc, LParam param) override;
    intptr_t DialogBoxIndirectParamA(Module instance, const void* dialogTemplate, Window owner,
                                     DialogProc proc, LParam param) override;
    Bool EndDialog(Window dialog, intptr_t result) override;
    Window GetDlgItem(Window dialog, int id) override;
    LResult SendMessageA(Window window, unsigned message, WParam wParam, LParam lParam) override;
    LResult SendDlgItemMessageA(Window dialog, int id, unsigned message, WParam wParam,
                                LParam lParam) override;
    unsigned IsDlgButtonChecked(Window dialog, int id) override;
    Bool CheckDlgButton(Window dialog, int id, unsigned check) override;
    int GetWindowTextA(Window window, char* buffer, int size) override;
    Bool SetWindowTextA(Window window, const char* text) override;
    int GetClassNameA(Window window, char* buffer, int size) override;
    int32_t GetWindowLongA(Window window, int index) override;
    int32_t SetWindowLongA(Window window, int index, int32_t value) override;
    Bool GetWindowRect(Window window, Rect* rect) override;
    Bool GetClientRect(Window window, Rect* rect) override;
    Bool SetWindowPos(Window window, Window insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
    Window GetWindow(Window window, unsigned command) override;
    Window GetParent(Window window) override;
    Bool InvalidateRect(Window window, const Rect* rect, Bool erase) override;
    Bool EnableWindow(Window window, Bool enable) override;
    Bool IsWindowEnabled(Window window) override;
    Bool SetForegroundWindow(Window window) override;
    int GetSystemMetrics(int index) override;
    Dword GetSysColor(int index) override;
    Bool WinHelpA(Window owner, const char* helpFile, unsigned command, uintptr_t data) override;
};

}  // namespace os::win
