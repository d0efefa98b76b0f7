// Deleting a folder tree through the shell's file operation.
#include <string.h>

#include "integration/shortcuts.h"
#include "platform/platform.h"

bool RemoveFolderTree(char* path, size_t size) {
    const void* end = memchr(path, '\0', size);
    if (end == nullptr) return false;
    size_t length = static_cast<size_t>(static_cast<const char*>(end) - path);
    if (length + 2 > size) return false;
    if (os::Fs().GetFileAttributesA(path) == os::kInvalidFileAttributes) return false;
    // The shell takes a list of paths, each ended by a zero, the list by a second one.
    path[length + 1] = '\0';
    os::FileOperation operation = {};
    operation.func = os::kFoDelete;
    operation.from = path;
    operation.flags = os::kFofSilent | os::kFofNoConfirmation;
    return os::Sh().FileOperationA(&operation) == 0;
}
