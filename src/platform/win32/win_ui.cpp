// User interface: the user32 calls.
#include "platform/win32/handles.h"
#include "platform/win32/win_platform.h"

namespace os::win {

int WinUi::MessageBoxA(Window owner, const char* text, const char* caption, unsigned type) {
    return ::MessageBoxA(ToHwnd(owner), text, caption, type);
}

}  // namespace os::win
