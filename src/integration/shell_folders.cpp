// Special folders and the files in them.
#include <string.h>

#include "common/path.h"
#include "common/text.h"
#include "integration/shortcuts.h"
#include "platform/platform.h"

namespace {

bool LookUpFolder(int csidl, char* path, size_t size) {
    if (size == 0) return false;
    if (os::Succeeded(os::Sh().GetSpecialFolderPath(csidl, path, static_cast<os::Dword>(size))) &&
        path[0] != '\0') {
        return true;
    }
    path[0] = '\0';
    return false;
}

}  // namespace

bool GetDesktopFolder(char* path, size_t size) {
    return LookUpFolder(os::kCsidlDesktopDirectory, path, size);
}

bool SpecialFolderFile(int csidl, const char* name, char* path, size_t size) {
    if (!LookUpFolder(csidl, path, size)) return false;
    if (AppendBackslash(path, size)) {
        size_t length = strlen(path);
        if (CopyText(path + length, size - length, name)) return true;
    }
    path[0] = '\0';
    return false;
}
