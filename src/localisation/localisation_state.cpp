// The process-wide localisation objects. Both live in this file so that they
// are constructed in this order and destroyed in the reverse one: the
// language file first, then the holder of the language module, which unloads
// the module if it is still loaded.
#include <new>

#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "localisation/localisation.h"
#include "localisation/strings.h"

namespace {
ExtResource g_extResource;
LanguageResources g_languageResources;

// An empty language file in place of the present one.
void RecreateLanguageResources() {
    g_languageResources.~LanguageResources();
    new (&g_languageResources) LanguageResources();
}

}  // namespace

ExtResource& TheExtResource() { return g_extResource; }

LanguageResources& TheLanguageResources() { return g_languageResources; }

void ResetLocalisation() {
    RecreateLanguageResources();
    g_extResource.Forget();
    ResetStringRing();
}

void EndLocalisation() {
    RecreateLanguageResources();
    g_extResource.Unload();
}
