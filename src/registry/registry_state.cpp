#include "registry/registry_state.h"

#include "registry/registry.h"

os::Dword g_registryViewFlag = 0;
int g_deletedKeyCount = 0;

void SetView64(bool on) { g_registryViewFlag = on ? os::Dword{os::kKeyWow64_64Key} : os::Dword{0}; }

void ResetRegistryState() {
    g_registryViewFlag = 0;
    g_deletedKeyCount = 0;
}
