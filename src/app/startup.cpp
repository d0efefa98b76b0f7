#include "app/modes.h"
#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"

void PrepareRun(os::Module instance) {
    // The language module first: the language file's right-to-left test
    // looks for its "RTL" resource.
    TheExtResource().Load(instance, nullptr);
    TheLanguageResources().Load("uninstall.lng");
    // OLE for the thread (OleInitialize, result not examined) goes here.
    // The rich-edit library "riched32.dll" for SETUPDLG goes here; a failure
    // is not reported.
    // The dialog icon "VLKICON" from the ResourceModule goes here (SetDialogIcon).
}

void FinishRun() {
    // The rich-edit library is freed here when it was loaded, then OLE is
    // uninitialised (OleUninitialize).
}
