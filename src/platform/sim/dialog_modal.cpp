// Modal dialogs: DialogBoxParamA and DialogBoxIndirectParamA, the modal loop
// and the user's actions on a waiting dialog.
#include <exception>
#include <iostream>

#include "platform/sim/actions.h"
#include "platform/sim/dialog_ui.h"
#include "platform/sim/machine.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr long kErrorCannotFindWindowClass = 1407;

std::string H(uintptr_t handle) { return Hex(static_cast<uint32_t>(handle)); }

std::string ResourceText(const char* name) {
    if (os::IsIntResource(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return Quote(name);
}

// The buttons that the answer verbs press.
struct VerbButton {
    const char* verb;
    int id;
};
const VerbButton kVerbButtons[] = {
    {"ok", os::kIdOk}, {"abort", 3},        {"retry", 4},
    {"ignore", 5},     {"yes", os::kIdYes}, {"no", os::kIdNo},
};

}  // namespace

intptr_t SimDialogUi::DialogBoxParamA(os::Module instance, const char* templateName,
                                      os::Window owner, os::DialogProc proc, os::LParam param) {
    const std::string call = H(reinterpret_cast<uintptr_t>(instance)) + " " +
                             (templateName ? ResourceText(templateName) : std::string("null")) +
                             " owner=" + H(reinterpret_cast<uintptr_t>(owner)) +
                             " param=" + Hex(static_cast<uint32_t>(param));
    os::Dword size = 0;
    const void* data = templateName
                           ? m_.Platform().system->FindResourceData(
                                 instance, templateName, os::IntResource(os::kRtDialog), &size)
                           : nullptr;
    if (!data) {
        m_.lastError = os::kErrorResourceNameNotFound;
        m_.Trace().Add("DialogBoxParamA", call + " -> -1 err=1814");
        return -1;
    }
    return Run("DialogBoxParamA", call, static_cast<const uint8_t*>(data), size, owner, proc,
               param);
}

intptr_t SimDialogUi::DialogBoxIndirectParamA(os::Module instance, const void* dialogTemplate,
                                              os::Window owner, os::DialogProc proc,
                                              os::LParam param) {
    const std::string call = H(reinterpret_cast<uintptr_t>(instance)) +
                             " template owner=" + H(reinterpret_cast<uintptr_t>(owner)) +
                             " param=" + Hex(static_cast<uint32_t>(param));
    if (!dialogTemplate) {
        m_.lastError = os::kErrorInvalidParameter;
        m_.Trace().Add("DialogBoxIndirectParamA", call + " -> -1 err=87");
        return -1;
    }
    return Run("DialogBoxIndirectParamA", call, static_cast<const uint8_t*>(dialogTemplate),
               SIZE_MAX, owner, proc, param);
}

intptr_t SimDialogUi::Run(const char* name, const std::string& args, const uint8_t* data,
                          size_t size, os::Window ownerHandle, os::DialogProc proc,
                          os::LParam param) {
    DialogTemplate dialogTemplate;
    std::string error;
    if (!ParseDialogTemplate(data, size, &dialogTemplate, &error)) {
        m_.lastError = os::kErrorInvalidParameter;
        m_.Trace().Add(name, args + " -> -1 err=87 (" + error + ")");
        return -1;
    }
    SimWindow* owner = nullptr;
    if (ownerHandle && !(owner = Lookup(ownerHandle))) {
        m_.Trace().Add(name, args + " -> 0 err=1400");
        return 0;
    }
    m_.Trace().Add(name, args + " opens " + Quote(Utf16ToUtf8(dialogTemplate.caption)));

    // Every way out ends the dialog: its owner is enabled again and the
    // windows go, also when the run is aborted inside the modal loop.
    struct Ending {
        SimDialogUi* ui;
        SimWindow* owner;
        SimWindow* dialog = nullptr;
        bool ownerDisabled = false;
        ~Ending() {
            if (ownerDisabled) owner->style &= ~os::kWsDisabled;
            if (!dialog) return;
            if (std::uncaught_exceptions())
                dialog->proc = nullptr;  // no more calls into the program
            ui->Destroy(dialog);
        }
    } ending{this, owner};

    bool failed = false;
    SimWindow* dialog = Create(dialogTemplate, owner, proc, param, &failed);
    ending.dialog = dialog;
    if (failed) {
        m_.lastError = kErrorCannotFindWindowClass;
        m_.Trace().Add(name, H(dialog->handle) + " -> -1 err=1407");
        return -1;
    }
    if (owner && owner->Enabled()) {
        owner->style |= os::kWsDisabled;
        ending.ownerDisabled = true;
    }
    while (!dialog->ended) Wait(dialog);
    m_.Trace().Add(name, H(dialog->handle) + " -> " + std::to_string(dialog->result));
    return dialog->result;
}

void SimDialogUi::Wait(SimWindow* dialog) {
    if (observer_) observer_(dialog->Handle());
    if (dialog->ended) return;
    Actions& actions = m_.UserActions();
    Action action;
    if (actions.Take([&](const Action& a) { return Accepts(dialog, a); }, &action)) {
        Perform(dialog, action);
        return;
    }
    const std::string caption = m_.AnsiToUtf8(dialog->text);
    if (actions.Interactive()) {
        std::cerr << "\n" << Draw(dialog->Handle()) << "> " << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) {
            throw RunAborted("the terminal closed while the dialog \"" + caption + "\" waited");
        }
        std::string error;
        if (line.find_first_not_of(" \t\r") == std::string::npos) return;
        if (!Actions::Parse(line, &action, &error)) {
            std::cerr << error << "\n";
        } else if (!Accepts(dialog, action)) {
            std::cerr << "This dialog has nothing for \"" << line << "\"\n";
        } else {
            Perform(dialog, action);
        }
        return;
    }
    m_.Trace().Add("Action", H(dialog->handle) + " " + Quote(caption) + " -> unanswered");
    throw RunAborted("no action for the dialog \"" + caption + "\" (ok, cancel, escape, enter, " +
                     "click ID, help)");
}

SimWindow* SimDialogUi::ButtonOf(SimWindow* dialog, const Action& action) const {
    for (const VerbButton& b : kVerbButtons)
        if (action.verb == b.verb) return Child(dialog, b.id);
    return nullptr;
}

bool SimDialogUi::Accepts(SimWindow* dialog, const Action& action) const {
    if (action.verb == "click") return Child(dialog, action.id) != nullptr;
    if (action.verb == "cancel") {
        return Child(dialog, os::kIdCancel) || (dialog->style & os::kWsSysMenu);
    }
    if (action.verb == "escape" || action.verb == "enter" || action.verb == "help") return true;
    return ButtonOf(dialog, action) != nullptr;
}

std::string SimDialogUi::Describe(const SimWindow& window) const {
    return std::to_string(window.id) + " (" + KindName(window) + " " +
           Quote(m_.AnsiToUtf8(window.text)) + ")";
}

void SimDialogUi::Perform(SimWindow* dialog, const Action& action) {
    const std::string where = H(dialog->handle) + " " + action.verb;
    SimWindow* control = nullptr;
    if (action.verb == "click") {
        control = Child(dialog, action.id);
    } else if (action.verb == "cancel") {
        control = Child(dialog, os::kIdCancel);
        if (!control) {
            m_.Trace().Add("Action", where + ": the close box");
            Deliver(dialog, os::kWmSysCommand, os::kScClose, 0);
            return;
        }
    } else if (action.verb == "escape") {
        m_.Trace().Add("Action", where);
        Command(dialog, os::kIdCancel, Child(dialog, os::kIdCancel));
        return;
    } else if (action.verb == "enter") {
        SimWindow* target =
            dialog->focus && dialog->focus->IsPushButton() ? dialog->focus : nullptr;
        for (SimWindow* child : dialog->children) {
            if (!target && child->kind == ControlKind::kButton &&
                child->ButtonType() == os::kBsDefPushButton) {
                target = child;
            }
        }
        m_.Trace().Add("Action", where + (target ? " " + Describe(*target) : " IDOK"));
        if (!target) {
            Command(dialog, os::kIdOk, Child(dialog, os::kIdOk));
        } else if (target->Enabled()) {
            Command(dialog, target->id, target);
        }
        return;
    } else if (action.verb == "help") {
        SimWindow* about = dialog->focus ? dialog->focus : dialog;
        const os::Rect r = ScreenRect(*about);
        os::HelpInfo info = {sizeof(os::HelpInfo),
                             os::kHelpInfoWindow,
                             about->id,
                             about->Handle(),
                             0,
                             {(r.left + r.right) / 2, (r.top + r.bottom) / 2}};
        m_.Trace().Add("Action", where + " (F1) about " + Describe(*about));
        Deliver(dialog, os::kWmHelp, 0, reinterpret_cast<os::LParam>(&info));
        return;
    } else {
        control = ButtonOf(dialog, action);
    }
    if (!control) return;
    if (!control->Enabled()) {
        m_.Trace().Add("Action", where + " " + Describe(*control) + ": disabled, nothing happens");
        return;
    }
    m_.Trace().Add("Action", where + " " + Describe(*control));
    Click(dialog, control);
}

}  // namespace sim
