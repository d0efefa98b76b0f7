#include "localisation/ext_resource.h"

#include "common/text.h"
#include "localisation/program_path.h"
#include "platform/platform.h"

namespace {

const char kLanguageModuleName[] = "vlklng.dll";

os::Module g_resourceModule = nullptr;
os::Module g_programModule = nullptr;

// The path of the language module beside `path` (null: the program); false
// when there is none that could be named without cutting.
bool LanguageModulePath(const char* path, char* result, size_t size) {
    if (path ? !CopyText(result, size, path) : !GetProgramPath(result, size)) return false;
    return ReplaceFileName(result, size, kLanguageModuleName);
}

}  // namespace

ExtResource::~ExtResource() { Unload(); }

void ExtResource::Load(os::Module instance, const char* path) {
    Unload();
    char modulePath[kPathSize];
    os::Module module = nullptr;
    if (LanguageModulePath(path, modulePath, sizeof modulePath)) {
        module = os::Sys().LoadLibraryA(modulePath);
    }
    loaded_ = module != nullptr;
    g_resourceModule = loaded_ ? module : instance;
    g_programModule = instance;
}

void ExtResource::Unload() {
    if (!loaded_) return;
    os::Sys().FreeLibrary(g_resourceModule);
    g_resourceModule = g_programModule;
    loaded_ = false;
}

void ExtResource::Forget() {
    loaded_ = false;
    g_resourceModule = nullptr;
    g_programModule = nullptr;
}

os::Module ResourceModule() { return g_resourceModule; }

os::Module ProgramModule() { return g_programModule; }
