// The test robot's view of the desktop: user32 calls.
#include "platform/win32/robot/desktop.h"

#include <windows.h>

namespace robot {
namespace {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string result(n > 0 ? n : 0, '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                            n, nullptr, nullptr);
    }
    return result;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(length > 0 ? length + 1 : 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? copied : 0);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256];
    const int n = GetClassNameW(window, name, static_cast<int>(sizeof name / sizeof name[0]));
    return std::wstring(name, n > 0 ? n : 0);
}

std::vector<HWND> TopLevelDialogs() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            if (IsWindowVisible(window) && ClassName(window) == L"#32770") {
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

std::vector<std::string> Arguments() {
    std::vector<std::string> result;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return result;
    for (int i = 0; i < count; ++i) result.push_back(ToUtf8(args[i]));
    LocalFree(args);
    return result;
}

WindowId FindDialog(const std::string& caption) {
    for (HWND window : TopLevelDialogs()) {
        if (ToUtf8(WindowText(window)) == caption) return reinterpret_cast<WindowId>(window);
    }
    return 0;
}

std::vector<std::string> DialogCaptions() {
    std::vector<std::string> result;
    for (HWND window : TopLevelDialogs()) result.push_back(ToUtf8(WindowText(window)));
    return result;
}

std::vector<Control> Controls(WindowId dialog) {
    std::vector<Control> result;
    const HWND parent = reinterpret_cast<HWND>(dialog);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Control c;
        c.window = reinterpret_cast<WindowId>(child);
        c.id = GetDlgCtrlID(child);
        c.className = ToUtf8(ClassName(child));
        c.text = ToUtf8(WindowText(child));
        c.style = static_cast<uint32_t>(GetWindowLongW(child, GWL_STYLE));
        c.visible = IsWindowVisible(child) != FALSE;
        c.enabled = IsWindowEnabled(child) != FALSE;
        result.push_back(c);
    }
    return result;
}

bool HasCheckState(const Control& control) {
    if (control.className != "Button") return false;
    switch (control.style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

int CheckState(const Control& control) {
    return static_cast<int>(
        SendMessageW(reinterpret_cast<HWND>(control.window), BM_GETCHECK, 0, 0));
}

bool Click(const Control& control) {
    return PostMessageW(reinterpret_cast<HWND>(control.window), BM_CLICK, 0, 0) != FALSE;
}

void Pause(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace robot
