// Opening, creating and closing keys.
#include "platform/platform.h"
#include "registry/registry.h"
#include "registry/registry_state.h"

namespace {
// What a read opens a key with: query values, enumerate subkeys.
constexpr os::Dword kReadAccess = os::kKeyQueryValue | os::kKeyEnumerateSubKeys;
}  // namespace

os::Key CreateKey(os::Key root, const char* path) {
    char resolved[kKeyPathSize];
    if (!MakeKeyPath(root, path, resolved, sizeof resolved)) return nullptr;
    os::Key key = nullptr;
    long result = os::Reg().CreateKeyEx(root, resolved, os::kRegOptionNonVolatile,
                                        os::kKeyWrite | g_registryViewFlag, &key, nullptr);
    return result == os::kErrorSuccess ? key : nullptr;
}

os::Key OpenKeyForRead(os::Key root, const char* path) {
    char resolved[kKeyPathSize];
    if (!MakeKeyPath(root, path, resolved, sizeof resolved)) return nullptr;
    os::Key key = nullptr;
    long result = os::Reg().OpenKeyEx(root, resolved, kReadAccess, &key);
    return result == os::kErrorSuccess ? key : nullptr;
}

bool CloseKey(os::Key key) { return key && os::Reg().CloseKey(key) == os::kErrorSuccess; }

bool KeyExists(os::Key root, const char* path) {
    char resolved[kKeyPathSize];
    if (!MakeKeyPath(root, path, resolved, sizeof resolved)) return false;
    os::Key key = nullptr;
    long result = os::Reg().OpenKeyEx(root, resolved, os::kKeyQueryValue, &key);
    if (result != os::kErrorSuccess) key = nullptr;
    CloseKey(key);
    return key != nullptr;
}
