// The real API as the process-wide default platform.
#include <new>

#include "platform/win32/win_platform.h"

namespace os {

namespace {

// The backend objects live in static storage and are never destroyed: the
// program's own static destructors (the language module's holder frees its
// module) still call the platform after every other object is gone. They hold
// no state, so building them again on a second call changes nothing.
template <typename T>
struct Storage {
    alignas(T) unsigned char bytes[sizeof(T)];
    T* Make() { return new (bytes) T; }
};
Storage<win::WinRegistry> g_registry;
Storage<win::WinFiles> g_files;
Storage<win::WinSystem> g_system;
Storage<win::WinUi> g_ui;
Storage<win::WinShell> g_shell;
Storage<win::WinProcess> g_process;

}  // namespace

void DefaultPlatform(Platform* platform) {
    platform->registry = g_registry.Make();
    platform->files = g_files.Make();
    platform->system = g_system.Make();
    platform->ui = g_ui.Make();
    platform->shell = g_shell.Make();
    platform->process = g_process.Make();
}

}  // namespace os
