#include "localisation/dialog_hook.h"

#include "localisation/language_resources.h"
#include "platform/platform.h"

const char kHelpFileName[] = "velkor.hlp";

namespace {

// The sheet that a right-to-left page belongs to is mirrored with it, and so
// is the sheet's tab control, which is then redrawn with its background.
void MirrorPropertySheet(os::Window page) {
    const LanguageResources& language = TheLanguageResources();
    os::Ui& ui = os::Gui();
    const os::Window sheet = ui.GetParent(page);
    if (!sheet) return;
    language.ApplyRightToLeft(sheet);
    const os::Window tabs =
        reinterpret_cast<os::Window>(ui.SendMessageA(sheet, os::kPsmGetTabControl, 0, 0));
    if (!tabs) return;
    language.ApplyRightToLeft(tabs);
    ui.InvalidateRect(tabs, nullptr, 1);
}

bool IsPropertySheetHelp(os::LParam lParam) {
    const os::NotifyHeader* header = reinterpret_cast<const os::NotifyHeader*>(lParam);
    return header && static_cast<int>(header->code) == os::kPsnHelp;
}

}  // namespace

void OpenDialogHelp(os::Window owner, unsigned helpContext) {
    os::Gui().WinHelpA(owner, kHelpFileName, os::kHelpContext, helpContext);
}

void CommonDialogHook(os::Window dialog, unsigned message, os::WParam wParam, bool page,
                      unsigned helpContext, const char* dialogName, os::LParam lParam) {
    switch (message) {
        case os::kWmInitDialog:
            TheLanguageResources().LocalizeDialog(dialog, dialogName, page);
            break;
        case os::kWmSetFont:
            if (page && TheLanguageResources().RightToLeft()) MirrorPropertySheet(dialog);
            TheLanguageResources().ApplyRightToLeft(dialog);
            break;
        case os::kWmCommand:
            if (os::LowWord(wParam) == os::kIdHelp && helpContext != 0) {
                OpenDialogHelp(dialog, helpContext);
            }
            break;
        case os::kWmHelp:
            if (helpContext != 0) OpenDialogHelp(dialog, helpContext);
            break;
        case os::kWmNotify:
            // A sheet's Help button: the page's topic, whatever it is.
            if (page && IsPropertySheetHelp(lParam)) OpenDialogHelp(dialog, helpContext);
            break;
        default:
            break;
    }
}
