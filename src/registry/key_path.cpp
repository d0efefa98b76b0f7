#include <string.h>

#include "common/text.h"
#include "registry/registry.h"

const char kProductKey[] = "Software\\Velkor";

namespace {
// What the path may be shorter than its buffer: room for the product key.
constexpr size_t kPathReserve = 20;
}  // namespace

bool MakeKeyPath(os::Key root, const char* path, char* out, size_t size) {
    if (!path || size <= kPathReserve || strlen(path) > size - kPathReserve) return false;
    if (root != os::CurrentUser()) return CopyText(out, size, path);
    if (path[0] == '\\') return CopyText(out, size, path + 1);
    return FormatInto(out, size, "Software\\Velkor%s%s", path[0] ? "\\" : "", path) != nullptr;
}
