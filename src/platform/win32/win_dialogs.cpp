// Modal dialogs and the window calls on them: the user32 calls.
#include "platform/win32/win_dialogs.h"

#include "platform/win32/handles.h"

namespace os::win {

namespace {

static_assert(sizeof(Rect) == sizeof(RECT), "RECT");
static_assert(sizeof(NotifyHeader) == sizeof(NMHDR), "NMHDR");
static_assert(sizeof(HelpInfo) == sizeof(HELPINFO), "HELPINFO");
static_assert(sizeof(WParam) == sizeof(WPARAM) && sizeof(LParam) == sizeof(LPARAM), "params");

Window FromHwnd(HWND window) { return reinterpret_cast<Window>(window); }

// The program's procedure of each dialog is kept as a property of its
// window. The dialog being made gets it with the first message it receives
// (WM_SETFONT or WM_INITDIALOG), before which nothing reaches a dialog
// procedure; the procedure stays until the window's last message.
const char kProcProperty[] = "VlkDialogProc";
DialogProc g_pendingProc = nullptr;

INT_PTR CALLBACK DialogThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogProc proc = reinterpret_cast<DialogProc>(GetPropA(window, kProcProperty));
    if (!proc && g_pendingProc) {
        proc = g_pendingProc;
        g_pendingProc = nullptr;
        SetPropA(window, kProcProperty, reinterpret_cast<HANDLE>(proc));
    }
    if (!proc) return FALSE;
    if (message == WM_NCDESTROY) RemovePropA(window, kProcProperty);
    return proc(FromHwnd(window), message, wParam, lParam);
}

// Runs one modal dialog with `proc` as the pending procedure; nested dialogs
// set their own, and none is left pending after a dialog that was never made.
template <typename Make>
intptr_t RunModal(DialogProc proc, Make make) {
    g_pendingProc = proc;
    const intptr_t result = make();
    g_pendingProc = nullptr;
    return result;
}

}  // namespace

intptr_t WinDialogUi::DialogBoxParamA(Module instance, const char* templateName, Window owner,
                                      DialogProc proc, LParam param) {
    return RunModal(proc, [&] {
        return ::DialogBoxParamA(ToHmodule(instance), templateName, ToHwnd(owner), DialogThunk,
                                 param);
    });
}

intptr_t WinDialogUi::DialogBoxIndirectParamA(Module instance, const void* dialogTemplate,
                                              Window owner, DialogProc proc, LParam param) {
    return RunModal(proc, [&] {
        return ::DialogBoxIndirectParamA(ToHmodule(instance),
                                         static_cast<LPCDLGTEMPLATEA>(dialogTemplate),
                                         ToHwnd(owner), DialogThunk, param);
    });
}

Bool WinDialogUi::EndDialog(Window dialog, intptr_t result) {
    return ::EndDialog(ToHwnd(dialog), result);
}

Window WinDialogUi::GetDlgItem(Window dialog, int id) {
    return FromHwnd(::GetDlgItem(ToHwnd(dialog), id));
}

LResult WinDialogUi::SendMessageA(Window window, unsigned message, WParam wParam, LParam lParam) {
    return ::SendMessageA(ToHwnd(window), message, wParam, lParam);
}

LResult WinDialogUi::SendDlgItemMessageA(Window dialog, int id, unsigned message, WParam wParam,
                                         LParam lParam) {
    return ::SendDlgItemMessageA(ToHwnd(dialog), id, message, wParam, lParam);
}

unsigned WinDialogUi::IsDlgButtonChecked(Window dialog, int id) {
    return ::IsDlgButtonChecked(ToHwnd(dialog), id);
}

Bool WinDialogUi::CheckDlgButton(Window dialog, int id, unsigned check) {
    return ::CheckDlgButton(ToHwnd(dialog), id, check);
}

int WinDialogUi::GetWindowTextA(Window window, char* buffer, int size) {
    return ::GetWindowTextA(ToHwnd(window), buffer, size);
}

Bool WinDialogUi::SetWindowTextA(Window window, const char* text) {
    return ::SetWindowTextA(ToHwnd(window), text);
}

int WinDialogUi::GetClassNameA(Window window, char* buffer, int size) {
    return ::GetClassNameA(ToHwnd(window), buffer, size);
}

int32_t WinDialogUi::GetWindowLongA(Window window, int index) {
    return ::GetWindowLongA(ToHwnd(window), index);
}

int32_t WinDialogUi::SetWindowLongA(Window window, int index, int32_t value) {
    return ::SetWindowLongA(ToHwnd(window), index, value);
}

Bool WinDialogUi::GetWindowRect(Window window, Rect* rect) {
    return ::GetWindowRect(ToHwnd(window), reinterpret_cast<RECT*>(rect));
}

Bool WinDialogUi::GetClientRect(Window window, Rect* rect) {
    return ::GetClientRect(ToHwnd(window), reinterpret_cast<RECT*>(rect));
}

Bool WinDialogUi::SetWindowPos(Window window, Window insertAfter, int x, int y, int cx, int cy,
                               unsigned flags) {
    return ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), x, y, cx, cy, flags);
}

Window WinDialogUi::GetWindow(Window window, unsigned command) {
    return FromHwnd(::GetWindow(ToHwnd(window), command));
}

Window WinDialogUi::GetParent(Window window) { return FromHwnd(::GetParent(ToHwnd(window))); }

Bool WinDialogUi::InvalidateRect(Window window, const Rect* rect, Bool erase) {
    return ::InvalidateRect(ToHwnd(window), reinterpret_cast<const RECT*>(rect), erase);
}

Bool WinDialogUi::EnableWindow(Window window, Bool enable) {
    return ::EnableWindow(ToHwnd(window), enable);
}

Bool WinDialogUi::IsWindowEnabled(Window window) { return ::IsWindowEnabled(ToHwnd(window)); }

Bool WinDialogUi::SetForegroundWindow(Window window) {
    return ::SetForegroundWindow(ToHwnd(window));
}

int WinDialogUi::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

Dword WinDialogUi::GetSysColor(int index) { return ::GetSysColor(index); }

Bool WinDialogUi::WinHelpA(Window owner, const char* helpFile, unsigned command, uintptr_t data) {
    return ::WinHelpA(ToHwnd(owner), helpFile, command, data);
}

}  // namespace os::win
