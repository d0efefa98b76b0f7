// The language module vlklng.dll and the two modules that the program loads
// its resources from.
#pragma once

#include "platform/types.h"

// The holder of the language module. While no module is loaded,
// ResourceModule() is ProgramModule().
class ExtResource {
  public:
    constexpr ExtResource() = default;
    ExtResource(const ExtResource&) = delete;
    ExtResource& operator=(const ExtResource&) = delete;
    // Unloads the module if it is still loaded.
    ~ExtResource();

    // Unloads a loaded module, then loads "vlklng.dll" from the folder of
    // `path` (null: the program's own full path). On success the module
    // becomes the ResourceModule, otherwise `instance` does; `instance`
    // becomes the ProgramModule in both cases. A missing or unloadable module
    // is silent.
    void Load(os::Module instance, const char* path);
    // Frees a loaded module; the ResourceModule is the ProgramModule again.
    // Does nothing when no module is loaded.
    void Unload();
    bool IsLoaded() const { return loaded_; }

    // Back to the state of static construction without asking the system (a
    // module handle of an earlier process means nothing now).
    void Forget();

  private:
    bool loaded_ = false;
};

// The process-wide holder.
ExtResource& TheExtResource();

// The module that strings, the dialog icon, the dialog templates and the
// "RTL" marker are loaded from: the language module while it is loaded, else
// the program.
os::Module ResourceModule();
// The program's own module, as the entry received it.
os::Module ProgramModule();
