// Fuzz target: the PE reader of the simulated machine (the resource section
// of a DLL, as LoadLibraryA reads the language module), and the program's use
// of such a module: ExtResource::Load, GetString, the right-to-left test and
// the program's dialogs taken from the module.
//
// Input: the bytes of vlklng.dll.
//
// Besides what the sanitizers catch, it checks:
//  - the parsed resources agree with themselves (CheckResourceSet);
//  - the machine loads the module exactly when the reader takes the file;
//  - every program text is the module's own, cut to the 511 bytes of a ring
//    buffer at a character boundary, or the program's when the module lacks it.
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "localisation/strings.h"
#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"
#include "support/check.h"
#include "support/fuzz_machine.h"
#include "support/resource_checks.h"

namespace {

const char* const kDialogs[] = {"SETUPDLG", "CONTEXTITEMS"};

intptr_t ClosingProc(os::Window dialog, unsigned message, os::WParam, os::LParam) {
    if (message != os::kWmInitDialog) return 0;
    os::Gui().EndDialog(dialog, 1);
    return 1;
}

// The text `id` as a ring buffer of GetString holds it: `text` in the code
// page, cut to 511 bytes at a character boundary.
std::string AsRingText(const sim::Machine& machine, const std::u16string& text) {
    const std::string ansi = machine.Ansi().FromWide(text);
    size_t n = 0;
    while (n < ansi.size()) {
        const bool lead = machine.Ansi().IsLeadByte(static_cast<unsigned char>(ansi[n]));
        const size_t step = lead && n + 1 < ansi.size() ? 2 : 1;
        if (n + step > kStringSize - 1) break;
        n += step;
    }
    return ansi.substr(0, n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    std::string error;
    const std::unique_ptr<sim::ResourceSet> set = sim::ResourceSet::FromPe(bytes, &error);
    if (set) fuzz::CheckResourceSet(*set);

    sim::Machine& machine = fuzz::UseMachine(1251);
    fuzz::PutFile(fuzz::ProgramFolder() + "vlklng.dll",
                  std::string(reinterpret_cast<const char*>(data), size));
    ExtResource& module = TheExtResource();
    module.Load(sim::SimSystem::ProgramInstance(), nullptr);
    FUZZ_CHECK(module.IsLoaded() == (set != nullptr), "module %s, but the reader %s it",
               module.IsLoaded() ? "loaded" : "not loaded", set ? "takes" : "refuses");

    const sim::ResourceSet& program = sim::ProgramResources();
    for (unsigned id : program.StringIds()) {
        const std::u16string own = set ? set->String(id) : std::u16string();
        // A text with a zero character in it ends there, as a C text does.
        const std::string expected =
            AsRingText(machine, own.empty() ? program.String(id) : own).c_str();
        const char* text = GetString(static_cast<int>(id));
        FUZZ_CHECK(strlen(text) < kStringSize, "string %u longer than its buffer", id);
        FUZZ_CHECK(expected == text, "string %u is \"%s\", not \"%s\"", id, text, expected.c_str());
    }
    LanguageResources language;
    language.DetectRightToLeft();
    for (const char* name : kDialogs) {
        os::Gui().DialogBoxParamA(ResourceModule(), name, nullptr, ClosingProc, 0);
    }
    module.Unload();
    return 0;
}
