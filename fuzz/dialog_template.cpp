// Fuzz target: the dialog template reader of the simulated machine (the
// classic and the extended form), the dialog manager that builds windows from
// a template, and the program's localisation of the dialog it opens
// (translation and rescaling by a language file with a scale entry).
//
// Input: the bytes of a dialog template.
//
// Only a template that the reader takes within its bytes is handed to
// DialogBoxIndirectParamA: a template in memory has no size of its own, and
// the dialog manager reads as far as its structure goes.
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>

#include "localisation/language_resources.h"
#include "localisation/text_key.h"
#include "platform/platform.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/services.h"
#include "support/check.h"
#include "support/fuzz_machine.h"

namespace {

const char kDialogName[] = "FUZZDLG";

const LanguageResources* g_language = nullptr;

intptr_t LocalizingProc(os::Window dialog, unsigned message, os::WParam, os::LParam) {
    if (message != os::kWmInitDialog) return 0;
    g_language->LocalizeDialog(dialog, kDialogName, false);
    os::Gui().EndDialog(dialog, 1);
    return 1;
}

// A language file that rescales the dialog and translates the texts "OK"
// and "Cancel" in it.
const LanguageResources& Language() {
    static LanguageResources* language = [] {
        auto line = [](const char* text, const char* translation) {
            char key[kTextKeySize];
            ComputeTextKey(key, kKeyTypeDialog, kDialogName, text);
            return std::string(key) + "=\"" + translation + "\"\r\n";
        };
        fuzz::PutFile(fuzz::ProgramFolder() + "uninstall.lng",
                      "***messages***\r\n" + line("", "173*61") + line("OK", "Okay") +
                          line("Cancel", "Cancel the whole thing"));
        auto* loaded = new LanguageResources;
        loaded->Load("uninstall.lng");
        FUZZ_CHECK(loaded->IsLoaded(), "the language file of the dialog target is not taken");
        return loaded;
    }();
    return *language;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::DialogTemplate dialog;
    std::string error;
    if (!sim::ParseDialogTemplate(data, size, &dialog, &error)) return 0;

    fuzz::UseMachine(1251);
    g_language = &Language();
    // Templates in memory are DWORD-aligned.
    std::unique_ptr<uint32_t[]> aligned(new uint32_t[(size + 3) / 4]);
    memcpy(aligned.get(), data, size);
    os::Gui().DialogBoxIndirectParamA(sim::SimSystem::ProgramInstance(), aligned.get(), nullptr,
                                      LocalizingProc, 0);
    return 0;
}
