#include "app/modes.h"

#include "uninstall/uninstall.h"

int RunSetupDialog() {
    // SETUPDLG from the ResourceModule, no owner, SetupDialogProc, parameter 0
    // (DialogBoxParamA) goes here.
    return 0;
}

void OpenProgramGroupFolder(const char* /*path*/) {
    // ShellExecuteA: no owner, verb "open", the path, no parameters, an empty
    // working folder, SW_SHOWNORMAL; its result is not examined.
}

void RunUninstallMode() { RunUninstall(); }
