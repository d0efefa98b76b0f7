#include "uninstall/list_entry.h"

#include "common/lead_bytes.h"
#include "common/text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// True when the component [begin, end) is "..", "...", ". .", " .." or the
// like; a lone "." stays allowed.
bool IsDotsAndBlanks(const char* begin, const char* end) {
    int dots = 0;
    for (const char* p = begin; p != end; ++p) {
        if (*p == '.') {
            ++dots;
        } else if (*p != ' ' && *p != '\t') {
            return false;
        }
    }
    return !(dots == 1 && end - begin == 1);
}

}  // namespace

bool StaysInsideFolder(const char* entry) {
    if (IsSeparator(entry[0])) return false;
    const LeadByteTable& table = LeadBytes();
    const char* component = entry;
    for (const char* p = entry;; p = StepChar(table, p)) {
        if (*p == ':') return false;
        if (*p == '\0' || IsSeparator(*p)) {
            if (p != component && IsDotsAndBlanks(component, p)) return false;
            if (*p == '\0') return true;
            component = p + 1;
        }
    }
}

bool ListEntryFullName(char* fullName, size_t size, const char* folder, const char* entry) {
    if (!StaysInsideFolder(entry)) {
        if (size > 0) fullName[0] = '\0';
        return false;
    }
    return FormatInto(fullName, size, "%s%s", folder, entry) != nullptr;
}
