// The window calls on the simulated dialogs and their controls: texts,
// classes, styles, rectangles, the child chain, enabling, check states,
// system metrics and colours, the help viewer.
#include <algorithm>
#include <cstring>

#include "platform/sim/dialog_ui.h"
#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr long kErrorInvalidWindowHandle = 1400;
constexpr long kErrorInvalidIndex = 1413;
constexpr long kErrorControlIdNotFound = 1421;

std::string H(os::Window window) {
    return Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
}

std::string RectText(const os::Rect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// Window positions and sizes stay within the 16-bit coordinate range, so that
// a window's edges, and the sums of edges and frames, stay within 32 bits
// whatever a caller asks for.
constexpr int kCoordinateMin = -32768;
constexpr int kCoordinateMax = 32767;
int Coordinate(int value) { return std::clamp(value, kCoordinateMin, kCoordinateMax); }
int Extent(int value) { return std::clamp(value, 0, kCoordinateMax); }

}  // namespace

SimDialogUi::SimDialogUi(Machine& machine) : m_(machine) {}
SimDialogUi::~SimDialogUi() = default;

SimDialogUi* SimDialogUi::Of(os::Ui& ui) { return dynamic_cast<SimDialogUi*>(&ui); }

const SimWindow* SimDialogUi::Find(os::Window window) const {
    auto it = windows_.find(reinterpret_cast<uintptr_t>(window));
    return it == windows_.end() ? nullptr : it->second.get();
}

SimWindow* SimDialogUi::Lookup(os::Window window) {
    auto it = windows_.find(reinterpret_cast<uintptr_t>(window));
    if (it == windows_.end()) {
        m_.lastError = kErrorInvalidWindowHandle;
        return nullptr;
    }
    return it->second.get();
}

SimWindow* SimDialogUi::Child(SimWindow* dialog, int id) const {
    if (!dialog) return nullptr;
    for (SimWindow* child : dialog->children)
        if (child->id == (id & 0xFFFF)) return child;
    return nullptr;
}

os::Bool SimDialogUi::EndDialog(os::Window window, intptr_t result) {
    SimWindow* dialog = Lookup(window);
    const bool ok = dialog && dialog->kind == ControlKind::kDialog;
    if (ok) {
        dialog->ended = true;
        dialog->result = result;
    }
    m_.Trace().Add("EndDialog",
                   H(window) + " " + std::to_string(result) + (ok ? " -> 1" : " -> 0 err=1400"));
    return ok ? 1 : 0;
}

os::Window SimDialogUi::GetDlgItem(os::Window window, int id) {
    SimWindow* dialog = Lookup(window);
    SimWindow* child = Child(dialog, id);
    if (dialog && !child) m_.lastError = kErrorControlIdNotFound;
    m_.Trace().Add("GetDlgItem", H(window) + " " + std::to_string(id) + " -> " +
                                     H(child ? child->Handle() : nullptr));
    return child ? child->Handle() : nullptr;
}

unsigned SimDialogUi::IsDlgButtonChecked(os::Window window, int id) {
    SimWindow* child = Child(Lookup(window), id);
    const unsigned state =
        child ? static_cast<unsigned>(ControlMessage(child, os::kBmGetCheck, 0, 0)) : 0;
    m_.Trace().Add("IsDlgButtonChecked",
                   H(window) + " " + std::to_string(id) + " -> " + std::to_string(state));
    return state;
}

os::Bool SimDialogUi::CheckDlgButton(os::Window window, int id, unsigned check) {
    SimWindow* dialog = Lookup(window);
    SimWindow* child = Child(dialog, id);
    if (dialog && !child) m_.lastError = kErrorControlIdNotFound;
    if (child) ControlMessage(child, os::kBmSetCheck, check, 0);
    m_.Trace().Add("CheckDlgButton", H(window) + " " + std::to_string(id) + " " +
                                         std::to_string(check) + (child ? " -> 1" : " -> 0"));
    return child ? 1 : 0;
}

int SimDialogUi::GetWindowTextA(os::Window handle, char* buffer, int size) {
    SimWindow* window = Lookup(handle);
    int copied = 0;
    if (buffer && size > 0) {
        if (window) {
            copied = static_cast<int>(std::min<size_t>(window->text.size(), size - 1));
            memcpy(buffer, window->text.data(), copied);
        }
        buffer[copied] = '\0';
    }
    m_.Trace().Add("GetWindowTextA",
                   H(handle) + " size=" + std::to_string(size) + " -> " + std::to_string(copied) +
                       (copied ? " " + Quote(m_.AnsiToUtf8(std::string(buffer, copied))) : ""));
    return copied;
}

os::Bool SimDialogUi::SetWindowTextA(os::Window handle, const char* text) {
    SimWindow* window = Lookup(handle);
    if (window) window->text = text ? text : "";
    m_.Trace().Add("SetWindowTextA", H(handle) + " " + Quote(m_.AnsiToUtf8(text ? text : "")) +
                                         (window ? " -> 1" : " -> 0 err=1400"));
    return window ? 1 : 0;
}

int SimDialogUi::GetClassNameA(os::Window handle, char* buffer, int size) {
    SimWindow* window = Lookup(handle);
    int copied = 0;
    if (window && buffer && size > 0) {
        copied = static_cast<int>(std::min<size_t>(window->className.size(), size - 1));
        memcpy(buffer, window->className.data(), copied);
        buffer[copied] = '\0';
    }
    m_.Trace().Add("GetClassNameA", H(handle) + " -> " + std::to_string(copied) +
                                        (window ? " " + Quote(window->className) : " err=1400"));
    return copied;
}

int32_t SimDialogUi::GetWindowLongA(os::Window handle, int index) {
    SimWindow* window = Lookup(handle);
    int32_t value = 0;
    bool known = true;
    if (window) {
        switch (index) {
            case os::kGwlStyle:
                value = static_cast<int32_t>(window->style);
                break;
            case os::kGwlExStyle:
                value = static_cast<int32_t>(window->exStyle);
                break;
            case os::kGwlId:
                value = window->id;
                break;
            case os::kDwlpMsgResult:
                if (window->kind != ControlKind::kDialog) {
                    known = false;
                    m_.lastError = kErrorInvalidIndex;
                }
                value = window->messageResult;
                break;
            default:
                known = false;
                m_.lastError = kErrorInvalidIndex;
        }
    }
    m_.Trace().Add("GetWindowLongA", H(handle) + " " + std::to_string(index) + " -> " +
                                         Hex(static_cast<uint32_t>(value)) +
                                         (!window  ? " err=1400"
                                          : !known ? " err=1413"
                                                   : ""));
    return value;
}

int32_t SimDialogUi::SetWindowLongA(os::Window handle, int index, int32_t value) {
    SimWindow* window = Lookup(handle);
    int32_t previous = 0;
    bool known = true;
    if (window) {
        switch (index) {
            case os::kGwlStyle:
                previous = static_cast<int32_t>(window->style);
                window->style = static_cast<uint32_t>(value);
                break;
            case os::kGwlExStyle:
                previous = static_cast<int32_t>(window->exStyle);
                window->exStyle = static_cast<uint32_t>(value);
                break;
            case os::kGwlId:
                previous = window->id;
                window->id = value;
                break;
            case os::kDwlpMsgResult:
                if (window->kind != ControlKind::kDialog) {
                    known = false;
                    m_.lastError = kErrorInvalidIndex;
                    break;
                }
                previous = window->messageResult;
                window->messageResult = value;
                break;
            default:
                known = false;
                m_.lastError = kErrorInvalidIndex;
        }
    }
    m_.Trace().Add("SetWindowLongA", H(handle) + " " + std::to_string(index) + " " +
                                         Hex(static_cast<uint32_t>(value)) + " -> " +
                                         Hex(static_cast<uint32_t>(previous)) +
                                         (!window  ? " err=1400"
                                          : !known ? " err=1413"
                                                   : ""));
    return previous;
}

os::Bool SimDialogUi::GetWindowRect(os::Window handle, os::Rect* rect) {
    SimWindow* window = Lookup(handle);
    if (window && rect) *rect = ScreenRect(*window);
    m_.Trace().Add("GetWindowRect",
                   H(handle) + " -> " + (window && rect ? "1 " + RectText(*rect) : "0"));
    return window && rect ? 1 : 0;
}

os::Bool SimDialogUi::GetClientRect(os::Window handle, os::Rect* rect) {
    SimWindow* window = Lookup(handle);
    if (window && rect) {
        const os::Rect inner = ClientScreenRect(*window);
        *rect = {0, 0, inner.right - inner.left, inner.bottom - inner.top};
    }
    m_.Trace().Add("GetClientRect",
                   H(handle) + " -> " + (window && rect ? "1 " + RectText(*rect) : "0"));
    return window && rect ? 1 : 0;
}

os::Bool SimDialogUi::SetWindowPos(os::Window handle, os::Window insertAfter, int x, int y, int cx,
                                   int cy, unsigned flags) {
    SimWindow* window = Lookup(handle);
    const std::string args = H(handle) + " after=" + H(insertAfter) + " " + std::to_string(x) +
                             "," + std::to_string(y) + " " + std::to_string(cx) + "x" +
                             std::to_string(cy) + " flags=" + Hex(flags);
    if (!window) {
        m_.Trace().Add("SetWindowPos", args + " -> 0 err=1400");
        return 0;
    }
    os::Rect& r = window->rect;
    const int32_t width = r.right - r.left;
    const int32_t height = r.bottom - r.top;
    if (!(flags & os::kSwpNoMove)) {
        r.left = Coordinate(x);
        r.top = Coordinate(y);
    }
    r.right = r.left + ((flags & os::kSwpNoSize) ? width : Extent(cx));
    r.bottom = r.top + ((flags & os::kSwpNoSize) ? height : Extent(cy));
    if (!(flags & os::kSwpNoZOrder) && window->parent) {
        // HWND_TOP (0) puts it first, HWND_BOTTOM (1) last, a sibling before
        // the window after it.
        std::vector<SimWindow*>& z = window->parent->children;
        z.erase(std::find(z.begin(), z.end(), window));
        const uintptr_t after = reinterpret_cast<uintptr_t>(insertAfter);
        auto at = z.begin();
        if (after == 1) {
            at = z.end();
        } else if (after != 0) {
            at = std::find_if(z.begin(), z.end(), [&](SimWindow* w) { return w->handle == after; });
            if (at != z.end()) ++at;
        }
        z.insert(at, window);
    }
    m_.Trace().Add("SetWindowPos", args + " -> 1");
    return 1;
}

os::Window SimDialogUi::GetWindow(os::Window handle, unsigned command) {
    SimWindow* window = Lookup(handle);
    SimWindow* result = nullptr;
    if (window) {
        if (command == os::kGwChild) {
            if (!window->children.empty()) result = window->children.front();
        } else if (command == os::kGwHwndNext && window->parent) {
            const std::vector<SimWindow*>& z = window->parent->children;
            auto it = std::find(z.begin(), z.end(), window);
            if (it != z.end() && ++it != z.end()) result = *it;
        } else if (command == os::kGwOwner) {
            result = window->owner;
        }
    }
    m_.Trace().Add("GetWindow", H(handle) + " " + std::to_string(command) + " -> " +
                                    H(result ? result->Handle() : nullptr));
    return result ? result->Handle() : nullptr;
}

os::Window SimDialogUi::GetParent(os::Window handle) {
    SimWindow* window = Lookup(handle);
    // A control's dialog; a popup window's owner.
    SimWindow* result = window ? (window->parent ? window->parent : window->owner) : nullptr;
    m_.Trace().Add("GetParent", H(handle) + " -> " + H(result ? result->Handle() : nullptr));
    return result ? result->Handle() : nullptr;
}

os::Bool SimDialogUi::InvalidateRect(os::Window handle, const os::Rect*, os::Bool erase) {
    SimWindow* window = Lookup(handle);
    m_.Trace().Add("InvalidateRect", H(handle) + " erase=" + std::to_string(erase) +
                                         (window ? " -> 1" : " -> 0 err=1400"));
    return window ? 1 : 0;
}

os::Bool SimDialogUi::EnableWindow(os::Window handle, os::Bool enable) {
    SimWindow* window = Lookup(handle);
    os::Bool wasDisabled = 0;
    if (window) {
        wasDisabled = window->Enabled() ? 0 : 1;
        if (enable) {
            window->style &= ~os::kWsDisabled;
        } else {
            window->style |= os::kWsDisabled;
        }
    }
    m_.Trace().Add("EnableWindow", H(handle) + " " + std::to_string(enable ? 1 : 0) + " -> " +
                                       std::to_string(wasDisabled) + (window ? "" : " err=1400"));
    return wasDisabled;
}

os::Bool SimDialogUi::IsWindowEnabled(os::Window handle) {
    SimWindow* window = Lookup(handle);
    const os::Bool enabled = window && window->Enabled() ? 1 : 0;
    m_.Trace().Add("IsWindowEnabled", H(handle) + " -> " + std::to_string(enabled));
    return enabled;
}

os::Bool SimDialogUi::SetForegroundWindow(os::Window handle) {
    SimWindow* window = Lookup(handle);
    if (window) foreground_ = window->handle;
    m_.Trace().Add("SetForegroundWindow", H(handle) + (window ? " -> 1" : " -> 0"));
    return window ? 1 : 0;
}

int SimDialogUi::GetSystemMetrics(int index) {
    const int value = display_.Metric(index);
    m_.Trace().Add("GetSystemMetrics", std::to_string(index) + " -> " + std::to_string(value));
    return value;
}

os::Dword SimDialogUi::GetSysColor(int index) {
    const os::Dword value = display_.Color(index);
    m_.Trace().Add("GetSysColor", std::to_string(index) + " -> " + Hex(value));
    return value;
}

os::Bool SimDialogUi::WinHelpA(os::Window owner, const char* helpFile, unsigned command,
                               uintptr_t data) {
    // The help viewer starts on its own; the machine has no help to show.
    m_.Trace().Add("WinHelpA", "owner=" + H(owner) +
                                   " file=" + Quote(m_.AnsiToUtf8(helpFile ? helpFile : "")) +
                                   " command=" + std::to_string(command) +
                                   " data=" + std::to_string(data) + " -> 1");
    return 1;
}

}  // namespace sim
