// The program's modes and the steps around them, each behind one function so
// the entry reads as the run it describes.
#pragma once

#include "platform/types.h"

// Start-up: the language module, the language file "uninstall.lng", OLE for
// this thread, the rich-edit library for SETUPDLG and the dialog icon "VLKICON".
void PrepareRun(os::Module instance);
// Teardown: frees the rich-edit library, then uninitialises OLE.
void FinishRun();

// Runs SETUPDLG modally; its result (1 after OK, 0 when it could not be shown).
int RunSetupDialog();
// Opens the program group folder with the shell's "open" verb.
void OpenProgramGroupFolder(const char* path);
// The helper switch warning: tells the user to delete the program file.
void ShowWarningMessage();
// The uninstall: confirmation, removing the integration and the files,
// self-removal.
void RunUninstallMode();
