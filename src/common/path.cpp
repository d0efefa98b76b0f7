#include "common/path.h"

#include <string.h>

#include "common/lead_bytes.h"

const char* NameInPath(const char* path) {
    const LeadByteTable& table = LeadBytes();
    const char* afterSeparator = nullptr;
    for (const char* p = path; *p != '\0'; p = StepChar(table, p)) {
        if (*p == '\\' || *p == '/') afterSeparator = p + 1;
    }
    if (afterSeparator) return afterSeparator;
    if (path[0] == '\0') return path;
    if (path[1] == ':' && StepChar(table, path) == path + 1) return path + 2;
    return path;
}

char* NameInPath(char* path) {
    return const_cast<char*>(NameInPath(static_cast<const char*>(path)));
}

const char* LastCharOf(const char* text) {
    const LeadByteTable& table = LeadBytes();
    const char* last = text;
    for (const char* p = text; *p != '\0'; p = StepChar(table, p)) last = p;
    return last;
}

bool AppendBackslash(char* path, size_t size) {
    if (path[0] == '\0' || *LastCharOf(path) == '\\') return true;
    size_t length = strlen(path);
    if (length + 2 > size) return false;
    path[length] = '\\';
    path[length + 1] = '\0';
    return true;
}

void CutNameFromPath(char* path) {
    char* name = NameInPath(path);
    ptrdiff_t offset = name - path;
    if (offset < 2 || (path[1] == ':' && offset < 4)) {
        *name = '\0';
    } else {
        name[-1] = '\0';
    }
}
