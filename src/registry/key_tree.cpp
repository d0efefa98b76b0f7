// Deleting keys: one key, or a whole tree on both Windows families.
#include "common/system.h"
#include "common/text.h"
#include "platform/platform.h"
#include "registry/registry.h"
#include "registry/registry_state.h"

namespace {

// A subkey name is fetched into 200 characters, a child path formed in 512.
constexpr os::Dword kSubkeyNameSize = 200;
constexpr size_t kChildPathSize = 512;

// One depth-first pass: the children of `path` go before `path` itself.
// Children are deleted while their parent is enumerated with a rising index,
// so a pass passes over some of them; the next pass picks them up.
void DeleteTreePass(os::Key root, const char* path) {
    if (path[0] == '\0') return;
    os::Registry& registry = os::Reg();
    os::Key key = nullptr;
    if (registry.OpenKeyEx(root, path, os::kKeyRead, &key) != os::kErrorSuccess) return;
    for (os::Dword index = 0;; ++index) {
        char name[kSubkeyNameSize];
        os::Dword nameSize = kSubkeyNameSize;
        long result = registry.EnumKeyEx(key, index, name, &nameSize);
        // A name too long for the walk: that subkey stays with its subtree.
        if (result == os::kErrorMoreData) continue;
        if (result != os::kErrorSuccess) break;
        char child[kChildPathSize];
        // A child path that cannot be formed whole: that subkey stays too,
        // rather than a cut path naming another key.
        if (!FormatInto(child, sizeof child, "%s\\%s", path, name)) continue;
        DeleteTreePass(root, child);
    }
    CloseKey(key);
    if (registry.DeleteKey(root, path) == os::kErrorSuccess) ++g_deletedKeyCount;
}

}  // namespace

void DeleteKey(os::Key root, const char* path) {
    char resolved[kKeyPathSize];
    if (!MakeKeyPath(root, path, resolved, sizeof resolved) || resolved[0] == '\0') return;
    os::Reg().DeleteKey(root, resolved);
}

void DeleteKeyTree(os::Key root, const char* path) {
    char resolved[kKeyPathSize];
    if (!MakeKeyPath(root, path, resolved, sizeof resolved) || resolved[0] == '\0') return;
    // The older platforms delete a whole tree in one call.
    if (NtFamilyVersion() == 0 && os::Reg().DeleteKey(root, resolved) == os::kErrorSuccess) return;
    do {
        g_deletedKeyCount = 0;
        DeleteTreePass(root, resolved);
    } while (g_deletedKeyCount > 0);
}
