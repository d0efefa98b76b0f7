#include "app/modes.h"

void PrepareRun(os::Module /*instance*/) {
    // Language module (ExtResource::Load with the instance) goes here, then
    // the language file (LanguageResources::Load with "uninstall.lng").
    // OLE for the thread (OleInitialize, result not examined) goes here.
    // The rich-edit library "riched32.dll" for SETUPDLG goes here; a failure
    // is not reported.
    // The dialog icon "VLKICON" from the ResourceModule goes here (SetDialogIcon).
}

void FinishRun() {
    // The rich-edit library is freed here when it was loaded, then OLE is
    // uninitialised (OleUninitialize).
}
