#include "app/modes.h"

int RunSetupDialog() {
    // SETUPDLG from the ResourceModule, no owner, SetupDialogProc, parameter 0
    // (DialogBoxParamA) goes here.
    return 0;
}

void OpenProgramGroupFolder(const char* /*path*/) {
    // ShellExecuteA: no owner, verb "open", the path, no parameters, an empty
    // working folder, SW_SHOWNORMAL; its result is not examined.
}

void ShowWarningMessage() {
    // The message of the strings 5105 and 5106 with the program's own path,
    // under the caption 5104, goes here. String 5106 comes from the language
    // module or file: its one "%s" is put in as text, never used as a format.
}

void RunUninstallMode() {
    // RunUninstall goes here.
}
