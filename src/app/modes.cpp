#include "app/modes.h"

#include "integration/setup_dialog.h"
#include "localisation/ext_resource.h"
#include "platform/platform.h"
#include "uninstall/uninstall.h"

int RunSetupDialog() {
    const intptr_t result =
        os::Gui().DialogBoxParamA(ResourceModule(), kSetupDialogName, nullptr, SetupDialogProc, 0);
    // A dialog that could not be made (-1) has applied nothing.
    return result == -1 ? 0 : static_cast<int>(result);
}

void OpenProgramGroupFolder(const char* path) {
    // Its result is not examined.
    os::Sh().ShellExecuteA(nullptr, "open", path, nullptr, "", os::kSwShowNormal);
}

void RunUninstallMode() { RunUninstall(); }
