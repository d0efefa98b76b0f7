#include "localisation/strings.h"

#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "localisation/text_key.h"
#include "platform/platform.h"

namespace {

char g_ring[kStringRingSize][kStringSize];
size_t g_ringIndex = 0;

// LoadStringA into `buffer`; the empty text when the module has no such
// string (or an empty one), which gives 0.
int LoadInto(os::Module module, int id, char* buffer) {
    const int count = os::Sys().LoadStringA(module, static_cast<unsigned>(id), buffer,
                                            static_cast<int>(kStringSize));
    if (count <= 0) buffer[0] = '\0';
    return count;
}

}  // namespace

const char* GetString(int id) {
    g_ringIndex = (g_ringIndex + 1) % kStringRingSize;
    char* buffer = g_ring[g_ringIndex];
    buffer[0] = '\0';
    const LanguageResources& language = TheLanguageResources();
    // The language file's keys are those of the program's own texts, so with
    // a language file the module's string table is not used.
    if (language.IsLoaded()) {
        LoadInto(ProgramModule(), id, buffer);
    } else if (LoadInto(ResourceModule(), id, buffer) == 0) {
        LoadInto(ProgramModule(), id, buffer);
    }
    language.Translate(buffer, kStringSize, buffer, nullptr, kKeyTypeString);
    return buffer;
}

void ResetStringRing() { g_ringIndex = 0; }
