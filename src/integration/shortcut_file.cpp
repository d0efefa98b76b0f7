// One shell link file, and the names that may become one.
#include <string.h>

#include "common/lead_bytes.h"
#include "integration/shortcuts.h"
#include "platform/platform.h"

bool CreateShortcut(const char* target, const char* linkPath, const char* description) {
    // The link's own path goes to the shell in UTF-16, in at most MAX_PATH
    // characters; a path that does not fit fails the conversion.
    os::Wchar wideLinkPath[os::kMaxPath];
    if (os::Sys().MultiByteToWideChar(os::kCpAcp, 0, linkPath, -1, wideLinkPath, os::kMaxPath) ==
        0) {
        return false;
    }
    os::ShellLinkFields fields = {};
    fields.path = target;
    fields.description = description;
    return os::Succeeded(os::Sh().SaveShellLink(fields, wideLinkPath, 1, nullptr));
}

bool IsPlainFileName(const char* name) {
    if (name[0] == '\0' || strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return false;
    const LeadByteTable& table = LeadBytes();
    for (const char* p = name; *p != '\0';) {
        const char* next = StepChar(table, p);
        unsigned char c = static_cast<unsigned char>(*p);
        if (next == p + 1 && (c < 0x20 || strchr("\\/:*?\"<>|", c) != nullptr)) return false;
        p = next;
    }
    return true;
}
