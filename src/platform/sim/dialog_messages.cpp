// Messages: those the program sends to the dialogs and controls, those the
// system sends to dialog procedures, and what a dialog or control does with
// a message that its procedure leaves to the system.
#include <algorithm>

#include "platform/sim/dialog_ui.h"
#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr unsigned kWmDestroy = 0x0002;

struct MessageName {
    unsigned message;
    const char* name;
};

const MessageName kMessageNames[] = {
    {kWmDestroy, "WM_DESTROY"},
    {os::kWmClose, "WM_CLOSE"},
    {os::kWmSetFont, "WM_SETFONT"},
    {os::kWmNotify, "WM_NOTIFY"},
    {os::kWmHelp, "WM_HELP"},
    {os::kWmSetIcon, "WM_SETICON"},
    {os::kWmInitDialog, "WM_INITDIALOG"},
    {os::kWmCommand, "WM_COMMAND"},
    {os::kWmSysCommand, "WM_SYSCOMMAND"},
    {os::kBmGetCheck, "BM_GETCHECK"},
    {os::kBmSetCheck, "BM_SETCHECK"},
    {os::kBmClick, "BM_CLICK"},
    {os::kCbGetDroppedControlRect, "CB_GETDROPPEDCONTROLRECT"},
    {os::kEmSetBkgndColor, "EM_SETBKGNDCOLOR"},
    {os::kPsmGetTabControl, "PSM_GETTABCONTROL"},
};

std::string MessageText(unsigned message) {
    for (const MessageName& m : kMessageNames)
        if (m.message == message) return m.name;
    return Hex(message);
}

std::string H(uintptr_t handle) { return Hex(static_cast<uint32_t>(handle)); }

std::string Args(uintptr_t window, unsigned message, os::WParam wParam, os::LParam lParam) {
    return H(window) + " " + MessageText(message) + " " + Hex(static_cast<uint32_t>(wParam)) + " " +
           Hex(static_cast<uint32_t>(lParam));
}

}  // namespace

os::LResult SimDialogUi::SendMessageA(os::Window handle, unsigned message, os::WParam wParam,
                                      os::LParam lParam) {
    const std::string args = Args(reinterpret_cast<uintptr_t>(handle), message, wParam, lParam);
    SimWindow* window = Lookup(handle);
    if (!window) {
        m_.Trace().Add("SendMessageA", args + " -> 0 err=1400");
        return 0;
    }
    const os::LResult result = Deliver(window, message, wParam, lParam);
    m_.Trace().Add("SendMessageA", args + " -> " + Hex(static_cast<uint32_t>(result)));
    return result;
}

os::LResult SimDialogUi::SendDlgItemMessageA(os::Window handle, int id, unsigned message,
                                             os::WParam wParam, os::LParam lParam) {
    SimWindow* control = Child(Lookup(handle), id);
    const std::string args = H(reinterpret_cast<uintptr_t>(handle)) + " " + std::to_string(id) +
                             " " + MessageText(message) + " " + Hex(static_cast<uint32_t>(wParam)) +
                             " " + Hex(static_cast<uint32_t>(lParam));
    if (!control) {
        m_.Trace().Add("SendDlgItemMessageA", args + " -> 0 (no such control)");
        return 0;
    }
    const os::LResult result = Deliver(control, message, wParam, lParam);
    m_.Trace().Add("SendDlgItemMessageA", args + " -> " + Hex(static_cast<uint32_t>(result)));
    return result;
}

os::LResult SimDialogUi::Deliver(SimWindow* window, unsigned message, os::WParam wParam,
                                 os::LParam lParam) {
    if (window->kind != ControlKind::kDialog)
        return ControlMessage(window, message, wParam, lParam);
    const uintptr_t handle = window->handle;
    if (window->proc) {
        // The message as the procedure gets it; what the procedure does
        // with it follows.
        m_.Trace().Add("DialogProc", Args(handle, message, wParam, lParam));
        window->messageResult = 0;
        const intptr_t handled = window->proc(window->Handle(), message, wParam, lParam);
        // WM_INITDIALOG's result tells whether to set the focus; a handled
        // message otherwise gives what the procedure left as DWLP_MSGRESULT.
        if (message == os::kWmInitDialog) return handled;
        if (handled) {
            const SimWindow* still = Find(reinterpret_cast<os::Window>(handle));
            return still ? still->messageResult : 0;
        }
    }
    if (!Find(reinterpret_cast<os::Window>(handle))) return 0;
    return DefaultDialog(window, message, wParam, lParam);
}

os::LResult SimDialogUi::DefaultDialog(SimWindow* dialog, unsigned message, os::WParam wParam,
                                       os::LParam lParam) {
    switch (message) {
        case os::kWmSetIcon: {
            uintptr_t& slot = wParam == os::kIconBig ? dialog->bigIcon : dialog->smallIcon;
            const uintptr_t previous = slot;
            slot = static_cast<uintptr_t>(lParam);
            return static_cast<os::LResult>(previous);
        }
        case os::kWmSysCommand:
            if ((wParam & 0xFFF0) == os::kScClose) return Deliver(dialog, os::kWmClose, 0, 0);
            return 0;
        case os::kWmClose: {
            // Cancel, unless there is a Cancel button and it is disabled.
            SimWindow* cancel = Child(dialog, os::kIdCancel);
            if (!cancel || cancel->Enabled()) Command(dialog, os::kIdCancel, cancel);
            return 0;
        }
        case os::kWmHelp:
            // Not handled here: on to the owner.
            if (dialog->owner) return Deliver(dialog->owner, message, wParam, lParam);
            return 0;
        default:
            return 0;
    }
}

os::LResult SimDialogUi::ControlMessage(SimWindow* control, unsigned message, os::WParam wParam,
                                        os::LParam lParam) {
    switch (message) {
        case os::kBmGetCheck:
            return control->kind == ControlKind::kButton ? control->check : 0;
        case os::kBmSetCheck:
            // A state above the button's highest is its highest (a check box
            // shows 2 or more as checked).
            if (control->kind == ControlKind::kButton) {
                control->check = static_cast<unsigned>(
                    std::min<os::WParam>(wParam, static_cast<os::WParam>(control->MaxCheck())));
            }
            return 0;
        case os::kBmClick:
            if (control->kind == ControlKind::kButton && control->parent) {
                Click(control->parent, control);
            }
            return 0;
        case os::kCbGetDroppedControlRect:
            if (control->kind != ControlKind::kComboBox) return 0;
            if (lParam) {
                os::Rect r = ScreenRect(*control);
                if (control->droppedHeight > 0) r.bottom = r.top + control->droppedHeight;
                *reinterpret_cast<os::Rect*>(lParam) = r;
            }
            return 1;
        case os::kEmSetBkgndColor: {
            if (control->kind != ControlKind::kRichEdit) return 0;
            const uint32_t previous =
                control->systemBackground ? display_.Color(5) : control->backgroundColor;
            control->systemBackground = wParam != 0;
            if (!wParam) control->backgroundColor = static_cast<uint32_t>(lParam);
            return previous;
        }
        case os::kWmSetFont:
            control->font = wParam;
            return 0;
        case os::kWmSetIcon: {
            uintptr_t& slot = wParam == os::kIconBig ? control->bigIcon : control->smallIcon;
            const uintptr_t previous = slot;
            slot = static_cast<uintptr_t>(lParam);
            return static_cast<os::LResult>(previous);
        }
        default:
            return 0;
    }
}

void SimDialogUi::Command(SimWindow* dialog, int id, SimWindow* control) {
    Deliver(dialog, os::kWmCommand, os::MakeWParam(static_cast<unsigned>(id), os::kBnClicked),
            reinterpret_cast<os::LParam>(control ? control->Handle() : nullptr));
}

void SimDialogUi::Click(SimWindow* dialog, SimWindow* control) {
    if (!control->Enabled() || control->kind != ControlKind::kButton) return;
    switch (control->ButtonType()) {
        case os::kBsGroupBox:
            return;
        case os::kBsAutoCheckBox:
            control->check = control->check ? os::kBstUnchecked : os::kBstChecked;
            break;
        case os::kBsAuto3State:
            control->check = (control->check + 1) % 3;
            break;
        case os::kBsAutoRadioButton: {
            // The other auto radio buttons of its group are cleared.
            std::vector<SimWindow*>& z = dialog->children;
            auto at = std::find(z.begin(), z.end(), control);
            auto first = at;
            while (first != z.begin() && !((*first)->style & os::kWsGroup)) --first;
            for (auto it = first; it != z.end(); ++it) {
                if (it != first && ((*it)->style & os::kWsGroup)) break;
                if ((*it)->kind == ControlKind::kButton &&
                    (*it)->ButtonType() == os::kBsAutoRadioButton) {
                    (*it)->check = os::kBstUnchecked;
                }
            }
            control->check = os::kBstChecked;
            break;
        }
        default:
            break;
    }
    Command(dialog, control->id, control);
}

}  // namespace sim
