#include "integration/context_items_dialog.h"

#include "localisation/dialog_hook.h"
#include "localisation/ext_resource.h"
#include "platform/platform.h"
#include "registry/registry.h"

const char kContextItemsDialogName[] = "CONTEXTITEMS";
const char kContextItemsKey[] = "Setup\\MenuItems";

const ContextItem ContextItemTable[kContextItemCount] = {
    {101, "ExtrTo", 1},   {102, "ExtrHere", 1}, {103, "Extr", 1},    {104, "ExtrSep", 1},
    {105, "OpenSFX", 1},  {106, "AddTo", 1},    {107, "AddArc", 1},  {108, "EmailArc", 1},
    {109, "EmailOpt", 1}, {110, "Test", 0},     {111, "Convert", 0},
};

namespace {

// A stored number is given to the box as its check state as it stands; the
// box itself decides what a number other than 0 or 1 shows.
void ShowStoredItems(os::Window dialog) {
    os::Ui& ui = os::Gui();
    for (const ContextItem& item : ContextItemTable) {
        ui.CheckDlgButton(dialog, item.control,
                          GetUserDword(kContextItemsKey, item.valueName, item.defaultValue));
    }
}

void StoreItems(os::Window dialog) {
    os::Ui& ui = os::Gui();
    for (const ContextItem& item : ContextItemTable) {
        const bool checked = ui.IsDlgButtonChecked(dialog, item.control) == os::kBstChecked;
        SetUserDword(kContextItemsKey, item.valueName, checked ? 1 : 0);
    }
}

}  // namespace

intptr_t ContextItemsDialogProc(os::Window dialog, unsigned message, os::WParam wParam,
                                os::LParam lParam) {
    CommonDialogHook(dialog, message, wParam, false, kContextItemsHelpContext,
                     kContextItemsDialogName, lParam);
    switch (message) {
        case os::kWmHelp:
            // The hook has opened this dialog's topic; the request goes no
            // further (not on to the owner).
            return 1;
        case os::kWmInitDialog:
            ShowStoredItems(dialog);
            return 1;
        case os::kWmCommand:
            switch (os::LowWord(wParam)) {
                case os::kIdOk:
                    StoreItems(dialog);
                    os::Gui().EndDialog(dialog, 1);
                    return 1;
                case os::kIdCancel:
                    os::Gui().EndDialog(dialog, 0);
                    return 1;
                default:
                    return 0;
            }
        default:
            return 0;
    }
}

void ShowContextItemsDialog(os::Window owner) {
    os::Gui().DialogBoxParamA(ResourceModule(), kContextItemsDialogName, owner,
                              ContextItemsDialogProc, 0);
}
