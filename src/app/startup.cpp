#include "app/modes.h"
#include "app/process_state.h"
#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "platform/platform.h"

namespace {
// The rich-edit library, while it is loaded.
os::Module g_richEdit = nullptr;
}  // namespace

void PrepareRun(os::Module instance) {
    // The language module first: the language file's right-to-left test
    // looks for its "RTL" resource.
    TheExtResource().Load(instance, nullptr);
    TheLanguageResources().Load("uninstall.lng");
    // OLE for the thread, which the shortcuts' shell-link object needs; the
    // result is not examined.
    os::Sh().OleInitialize();
    // The rich-edit control of SETUPDLG; a failure is not reported.
    g_richEdit = os::Sys().LoadLibraryA("riched32.dll");
    SetDialogIcon(os::Sys().LoadIconA(ResourceModule(), "VLKICON"));
}

void FinishRun() {
    if (g_richEdit) os::Sys().FreeLibrary(g_richEdit);
    g_richEdit = nullptr;
    os::Sh().OleUninitialize();
}
