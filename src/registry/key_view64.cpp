// Deleting a key of the 64-bit view.
#include "platform/platform.h"
#include "registry/registry.h"

void DeleteKeyInView64(os::Key root, const char* path) {
    char resolved[kKeyPathSize];
    if (!MakeKeyPath(root, path, resolved, sizeof resolved) || resolved[0] == '\0') return;
    os::Reg().DeleteKeyEx(root, resolved, os::kKeyWow64_64Key);
}
