#include "localisation/program_path.h"

#include <string.h>

#include "common/path.h"
#include "platform/platform.h"

bool GetProgramPath(char* path, size_t size) {
    const os::Dword length =
        os::Sys().GetModuleFileNameA(nullptr, path, static_cast<os::Dword>(size));
    // A full buffer means the path was cut (and on the older systems not
    // even terminated).
    if (length == 0 || length >= size) {
        path[0] = '\0';
        return false;
    }
    path[length] = '\0';
    return true;
}

bool ReplaceFileName(char* path, size_t size, const char* name) {
    char* fileName = NameInPath(path);
    if (fileName == path) return false;
    const size_t folderLength = static_cast<size_t>(fileName - path);
    const size_t nameLength = strlen(name);
    if (folderLength + nameLength + 1 > size) return false;
    memcpy(fileName, name, nameLength + 1);
    return true;
}
