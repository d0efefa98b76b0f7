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

void OpenProgramGroupFolder(const char* /*path*/) {
    // ShellExecuteA: no owner, verb "open", the path, no parameters, an empty
    // working folder, SW_SHOWNORMAL; its result is not examined.
}

void RunUninstallMode() { RunUninstall(); }
