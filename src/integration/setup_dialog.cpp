#include "integration/setup_dialog.h"

#include "app/process_state.h"
#include "integration/apply.h"
#include "integration/context_items_dialog.h"
#include "integration/handlers.h"
#include "localisation/dialog_hook.h"
#include "platform/platform.h"

const char kSetupDialogName[] = "SETUPDLG";

namespace {

void OpenSetupDialog(os::Window dialog) {
    IntegrationSettings settings = {};
    LoadIntegrationSettings(&settings);
    ShowChoices(dialog, &settings);
    os::Ui& ui = os::Gui();
    ui.SetForegroundWindow(dialog);
    ui.SendMessageA(dialog, os::kWmSetIcon, os::kIconBig,
                    reinterpret_cast<os::LParam>(DialogIcon()));
    // The description lies on the dialog's own face colour.
    ui.SendDlgItemMessageA(dialog, kDescriptionText, os::kEmSetBkgndColor, 0,
                           static_cast<os::LParam>(ui.GetSysColor(os::kColorBtnFace)));
    // Silent mode: OK at once, inside the opening, before any input.
    if (SilentMode()) ui.SendMessageA(dialog, os::kWmCommand, os::kIdOk, 0);
}

void ConfirmSetup(os::Window dialog) {
    IntegrationSettings settings = {};
    ReadChoices(dialog, &settings);
    SaveIntegrationSettings(&settings);
    ApplyIntegration(&settings, ProgramGroupPath());
    RegisterUninstallEntry();
    os::Gui().EndDialog(dialog, 1);
}

void RunSetupCommand(os::Window dialog, unsigned id) {
    switch (id) {
        case os::kIdOk:
            ConfirmSetup(dialog);
            break;
        case os::kIdCancel:
            os::Gui().EndDialog(dialog, 0);
            break;
        case kShellIntegrationBox: {
            // The box has toggled itself; 5119 and 5120 follow it.
            IntegrationSettings scratch = {};
            ReadChoices(dialog, &scratch);
            ShowChoices(dialog, &scratch);
            break;
        }
        case kSelectAllButton:
            SelectAllTypes(dialog);
            break;
        case kContextItemsButton:
            ShowContextItemsDialog(dialog);
            break;
        default:
            break;
    }
}

}  // namespace

intptr_t SetupDialogProc(os::Window dialog, unsigned message, os::WParam wParam,
                         os::LParam lParam) {
    CommonDialogHook(dialog, message, wParam, false, kSetupHelpContext, kSetupDialogName, lParam);
    switch (message) {
        case os::kWmInitDialog:
            OpenSetupDialog(dialog);
            return 1;
        case os::kWmCommand:
            RunSetupCommand(dialog, os::LowWord(wParam));
            return 1;
        default:
            return 0;
    }
}
